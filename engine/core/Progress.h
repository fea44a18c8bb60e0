#pragma once

// Long work on a table (rewriting a .dbf, one UPDATE over every row) says
// how far it got, so that a display or a test can follow it.

#include "engine/core/Listeners.h"

#include <cstdint>
#include <functional>
#include <string>

namespace engine {

// `step` names the work ("add", "copy", "delete", then "swap" when a new
// file replaces the old one); `total` is 0 when it is not known.
void reportProgress(const std::string& step, std::uint64_t done, std::uint64_t total);
// False while nobody listens, so that work can skip counting.
bool progressWanted() noexcept;

class ProgressListener {
public:
    explicit ProgressListener(std::function<void(const std::string&, std::uint64_t, std::uint64_t)> hear);

private:
    Listening<Listeners<const std::string&, std::uint64_t, std::uint64_t>> listening_;
};

// While the engine waits on a database it says so, on the waiting thread,
// every few tens of milliseconds: a host with windows keeps them painted.
void reportWaiting();

class WaitListener {
public:
    explicit WaitListener(std::function<void()> hear);

private:
    Listening<Listeners<>> listening_;
};

} // namespace engine
