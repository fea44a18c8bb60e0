#include "server/clsExtension.h"

#include "runtime/OutParams.h"

namespace quillet {

HResult clsExtension::get_Name(std::u16string* name) noexcept { return runtime::give(name, u"Quillet"); }
HResult clsExtension::Startup(runtime::Variant*) noexcept { return runtime::S_OK; }
HResult clsExtension::Shutdown() noexcept { return runtime::S_OK; }
HResult clsExtension::get_ProductName(std::u16string* name) noexcept { return runtime::give(name, u"Quillet"); }
HResult clsExtension::get_Description(std::u16string* description) noexcept
{
    return runtime::give(description, u"Quillet Light Version");
}
HResult clsExtension::get_State(std::int32_t* state) noexcept { return runtime::give(state, 1); }
HResult clsExtension::put_State(std::int32_t) noexcept { return runtime::S_OK; }

} // namespace quillet
