#include "engine/Schema.h"

#include <cpl_string.h>

namespace engine {

const Field* Schema::find(const std::string& name) const noexcept
{
    for (const Field& f : fields)
        if (name == f.name()) return &f;
    for (const Field& f : fields)
        if (EQUAL(name.c_str(), f.name())) return &f;
    return nullptr;
}

} // namespace engine
