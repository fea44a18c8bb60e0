#include "engine/LockWait.h"

#include "engine/Settings.h"

#include <cpl_error.h>

#include <cstring>

namespace engine {

namespace {
struct State {
    int depth = 0;
    LockWait::Clock::time_point deadline;
    bool ranOut = false;
};
thread_local State state;
} // namespace

LockWait::LockWait()
{
    if (state.depth++ > 0) return;
    state.deadline = Clock::now() + lockTimeout();
    state.ranOut = false;
}

LockWait::~LockWait()
{
    if (--state.depth == 0) state.ranOut = false;
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

bool LockWait::lockStoodInTheWay() noexcept
{
    const char* message = CPLGetLastErrorMsg();
    return state.ranOut || (message && std::strstr(message, "locked"));
}

} // namespace engine
