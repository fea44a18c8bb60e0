#pragma once

#include "host/AddinInterfaces.h"
#include "server/Module.h"

namespace quillet {

using runtime::HResult;

struct _clsExtToolBar : runtime::IUnknown {
    static constexpr Guid iid = guid("{C5D209D2-D646-493F-AB3A-7670C7FD15D6}");

protected:
    ~_clsExtToolBar() = default;
};

// The toolbar whose one item is the command.
class clsExtToolBar : public runtime::Object<moduleLife, _clsExtToolBar, host::IToolBarDef> {
public:
    HResult get_ItemCount(std::int32_t* count) noexcept override;
    HResult GetItemInfo(std::int32_t pos, host::IToolBarItemDefinition* itemDef) noexcept override;
    HResult get_Name(std::u16string* name) noexcept override;
    HResult get_Caption(std::u16string* caption) noexcept override;
};

} // namespace quillet
