#include "engine/core/Log.h"

#include <cerrno>
#include <cstdio>

namespace engine {

namespace {

Listeners<const std::string&>& reasonListeners()
{
    static Listeners<const std::string&> all;
    return all;
}

void log(const std::string& text) { std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, text.c_str()); }

} // namespace

void explain(const std::string& why)
{
    log(why);
    reasonListeners().tell(why);
}

void note(const std::string& what) { log(what); }

ReasonListener::ReasonListener(std::function<void(const std::string&)> hear)
    : listening_(reasonListeners(), std::move(hear))
{
}

} // namespace engine
