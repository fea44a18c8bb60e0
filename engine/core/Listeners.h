#pragma once

// A process-wide list of listeners that hear what the engine reports while
// they live; each report reaches every listener registered at that moment.

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

namespace engine {

template <class... Args>
class Listeners {
public:
    using Hear = std::function<void(Args...)>;

    void add(Hear* hear)
    {
        std::lock_guard lock(mutex_);
        all_.push_back(hear);
        count_ = all_.size();
    }
    void remove(Hear* hear)
    {
        std::lock_guard lock(mutex_);
        all_.erase(std::remove(all_.begin(), all_.end(), hear), all_.end());
        count_ = all_.size();
    }
    bool any() const noexcept { return count_ > 0; }
    void tell(Args... args)
    {
        std::vector<Hear*> now;
        {
            std::lock_guard lock(mutex_);
            now = all_;
        }
        for (Hear* h : now) (*h)(args...);
    }

private:
    std::mutex mutex_;
    std::vector<Hear*> all_;
    std::atomic<std::size_t> count_{0};
};

// Registers `hear` with a list for as long as it lives.
template <class List>
class Listening {
public:
    Listening(List& list, typename List::Hear hear) : list_(list), hear_(std::move(hear)) { list_.add(&hear_); }
    ~Listening() { list_.remove(&hear_); }
    Listening(const Listening&) = delete;
    Listening& operator=(const Listening&) = delete;

private:
    List& list_;
    typename List::Hear hear_;
};

} // namespace engine
