#include "server/clsExtToolBar.h"

#include "runtime/OutParams.h"

namespace quillet {

HResult clsExtToolBar::get_ItemCount(std::int32_t* count) noexcept { return runtime::give(count, 1); }

HResult clsExtToolBar::GetItemInfo(std::int32_t pos, host::IToolBarItemDefinition* itemDef) noexcept
{
    if (pos != 0) return runtime::S_OK;
    if (!itemDef) return runtime::E_POINTER;
    return itemDef->put_CommandId(progId16(progIdCommand));
}

HResult clsExtToolBar::get_Name(std::u16string* name) noexcept { return runtime::give(name, u"Quillet Light Version"); }
HResult clsExtToolBar::get_Caption(std::u16string* caption) noexcept
{
    return runtime::give(caption, u"Quillet Light Version");
}

} // namespace quillet
