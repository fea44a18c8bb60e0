#pragma once

// The engine's progress as a bar on standard error, when that is a
// terminal; nothing when it is piped or redirected.

#include "engine/core/Progress.h"

#include <cstdint>
#include <memory>
#include <string>

namespace cli {

class ProgressBar {
public:
    ProgressBar();

    // Wipes the bar, so that a line can be printed where it was.
    void clear();

private:
    void draw(const std::string& step, std::uint64_t done, std::uint64_t total);

    bool shown_ = false;
    std::string drawn_;
    std::unique_ptr<engine::ProgressListener> listener_;
};

} // namespace cli
