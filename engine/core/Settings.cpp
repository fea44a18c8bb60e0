#include "engine/core/Settings.h"

#include <atomic>

namespace engine {

namespace {
std::atomic<long long> timeoutMs{2000};
}

std::chrono::milliseconds lockTimeout() noexcept { return std::chrono::milliseconds(timeoutMs.load()); }

void setLockTimeout(std::chrono::milliseconds timeout) noexcept { timeoutMs = timeout.count(); }

} // namespace engine
