#include "engine/Log.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <vector>

namespace engine {

namespace {

struct Listeners {
    std::mutex mutex;
    std::vector<std::function<void(const std::string&)>*> hear;
};

Listeners& listeners()
{
    static Listeners l;
    return l;
}

} // namespace

void explain(const std::string& why)
{
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, why.c_str());
    std::vector<std::function<void(const std::string&)>*> hear;
    {
        std::lock_guard lock(listeners().mutex);
        hear = listeners().hear;
    }
    for (auto* h : hear) (*h)(why);
}

ReasonListener::ReasonListener(std::function<void(const std::string&)> hear) : hear_(std::move(hear))
{
    std::lock_guard lock(listeners().mutex);
    listeners().hear.push_back(&hear_);
}

ReasonListener::~ReasonListener()
{
    std::lock_guard lock(listeners().mutex);
    auto& all = listeners().hear;
    all.erase(std::remove(all.begin(), all.end(), &hear_), all.end());
}

} // namespace engine
