#pragma once

// All the waits for another program's lock within one call share one bound:
// lockTimeout() from the moment the call began. The bound belongs to the
// thread that makes the call.

#include <chrono>

namespace engine {

class LockWait {
public:
    using Clock = std::chrono::steady_clock;

    // Arms the bound unless an outer call already did.
    LockWait();
    ~LockWait();
    LockWait(const LockWait&) = delete;
    LockWait& operator=(const LockWait&) = delete;

    // When the waiting must end; lockTimeout() from now when no call is armed.
    static Clock::time_point deadline() noexcept;
    static std::chrono::milliseconds remaining() noexcept;
    // Set by the waiting code when a wait of the current call ran out.
    static void noteRanOut() noexcept;
    // Set by the code that reads a lock in a database's own answer (SQLite's
    // SQLITE_BUSY or SQLITE_LOCKED; PostgreSQL's lock_not_available or
    // deadlock_detected), never in a message's words.
    static void noteLockMet() noexcept;
    // Whether another program's lock made the current call fail: a wait ran
    // out or a lock was met.
    static bool lockStoodInTheWay() noexcept;
};

} // namespace engine
