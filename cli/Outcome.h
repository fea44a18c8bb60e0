#pragma once

// What became of a command on one source, as its exit code says it; the
// worse outcome has the higher code.

#include "engine/core/LockWait.h"
#include "runtime/Status.h"

#include <string>

namespace cli {

enum class Outcome : int { Done = 0, Refused = 1, Usage = 2, Locked = 3, DataError = 4 };

inline Outcome worse(Outcome a, Outcome b) { return static_cast<int>(a) >= static_cast<int>(b) ? a : b; }

struct Result {
    Outcome outcome = Outcome::Done;
    std::string message;
};

// What an engine call's status means, asked while the call's LockWait
// lives: that is what knows whether another program's lock was met.
Outcome outcomeOf(runtime::HResult hr);

// One engine call within a LockWait of its own.
template <class Call>
Outcome outcomeOfCall(Call&& call)
{
    const engine::LockWait wait;
    return outcomeOf(call());
}

} // namespace cli
