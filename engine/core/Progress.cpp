#include "engine/core/Progress.h"

namespace engine {

namespace {
Listeners<const std::string&, std::uint64_t, std::uint64_t>& progressListeners()
{
    static Listeners<const std::string&, std::uint64_t, std::uint64_t> all;
    return all;
}

Listeners<>& waitListeners()
{
    static Listeners<> all;
    return all;
}
} // namespace

void reportProgress(const std::string& step, std::uint64_t done, std::uint64_t total)
{
    progressListeners().tell(step, done, total);
}

bool progressWanted() noexcept { return progressListeners().any(); }

ProgressListener::ProgressListener(std::function<void(const std::string&, std::uint64_t, std::uint64_t)> hear)
    : listening_(progressListeners(), std::move(hear))
{
}

void reportWaiting() { waitListeners().tell(); }

WaitListener::WaitListener(std::function<void()> hear) : listening_(waitListeners(), std::move(hear)) {}

} // namespace engine
