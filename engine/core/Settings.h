#pragma once

#include <chrono>

namespace engine {

// How long a write waits for a lock another program or database session
// holds before it fails; one setting for every kind of data.
std::chrono::milliseconds lockTimeout() noexcept;
void setLockTimeout(std::chrono::milliseconds timeout) noexcept;

} // namespace engine
