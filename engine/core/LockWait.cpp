#include "engine/core/LockWait.h"

#include "engine/core/Settings.h"

namespace engine {

namespace {
struct State {
    int depth = 0;
    LockWait::Clock::time_point deadline;
    bool ranOut = false;
    bool lockMet = false;
};
thread_local State state;
} // namespace

LockWait::LockWait()
{
    if (state.depth++ > 0) return;
    state.deadline = Clock::now() + lockTimeout();
    state.ranOut = state.lockMet = false;
}

LockWait::~LockWait()
{
    if (--state.depth == 0) state.ranOut = state.lockMet = false;
}

LockWait::Clock::time_point LockWait::deadline() noexcept
{
    return state.depth > 0 ? state.deadline : Clock::now() + lockTimeout();
}

std::chrono::milliseconds LockWait::remaining() noexcept
{
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline() - Clock::now());
    return std::max(left, std::chrono::milliseconds(0));
}

void LockWait::noteRanOut() noexcept { state.ranOut = true; }

void LockWait::noteLockMet() noexcept { state.lockMet = true; }

bool LockWait::lockStoodInTheWay() noexcept { return state.ranOut || state.lockMet; }

} // namespace engine
