#pragma once

// The engine as a test watches and tunes it; tests that include this link
// the engine.

#include "engine/core/Log.h"
#include "engine/core/Settings.h"

#include <chrono>
#include <string>
#include <vector>

namespace gistest {

// Every reason the engine gives while this lives.
struct Reasons {
    std::vector<std::string> heard;
    engine::ReasonListener listener{[this](const std::string& why) { heard.push_back(why); }};

    bool mention(const std::string& words) const
    {
        for (const std::string& why : heard)
            if (why.find(words) != std::string::npos) return true;
        return false;
    }
};

// The engine's lock wait, for as long as this lives.
class LockTimeout {
public:
    explicit LockTimeout(std::chrono::milliseconds timeout) : previous_(engine::lockTimeout())
    {
        engine::setLockTimeout(timeout);
    }
    ~LockTimeout() { engine::setLockTimeout(previous_); }
    LockTimeout(const LockTimeout&) = delete;
    LockTimeout& operator=(const LockTimeout&) = delete;

private:
    std::chrono::milliseconds previous_;
};

} // namespace gistest
