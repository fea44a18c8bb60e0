#include "cli/ProgressBar.h"

#include <cstdio>

#include <unistd.h>

namespace cli {

namespace {
constexpr int barWidth = 30;
}

ProgressBar::ProgressBar()
{
    if (isatty(STDERR_FILENO))
        listener_ = std::make_unique<engine::ProgressListener>(
            [this](const std::string& step, std::uint64_t done, std::uint64_t total) { draw(step, done, total); });
}

void ProgressBar::draw(const std::string& step, std::uint64_t done, std::uint64_t total)
{
    std::string line = step;
    if (total > 0) {
        const auto filled = static_cast<int>(barWidth * std::min(done, total) / total);
        line += " [" + std::string(static_cast<std::size_t>(filled), '#') +
                std::string(static_cast<std::size_t>(barWidth - filled), ' ') + "] " +
                std::to_string(100 * std::min(done, total) / total) + "%";
    }
    if (line == drawn_) return;
    // The caret goes back to the start, so that a reason the engine logs
    // meanwhile writes over the bar.
    std::fprintf(stderr, "\r\033[K%s\r", line.c_str());
    std::fflush(stderr);
    drawn_ = line;
    shown_ = true;
}

void ProgressBar::clear()
{
    if (!shown_) return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    shown_ = false;
    drawn_.clear();
}

} // namespace cli
