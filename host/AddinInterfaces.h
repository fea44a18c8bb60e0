#pragma once

// The interfaces a host calls on an add-in's objects.

#include "host/ObjectModel.h"

namespace host {

struct ICommand : IUnknown {
    static constexpr Guid iid = guid("{36B06538-4437-11D1-B970-080009EE4E51}");
    virtual HResult get_Enabled(bool* enabled) noexcept = 0;
    virtual HResult get_Checked(bool* checked) noexcept = 0;
    virtual HResult get_Name(std::u16string* name) noexcept = 0;
    virtual HResult get_Caption(std::u16string* caption) noexcept = 0;
    virtual HResult get_Tooltip(std::u16string* tooltip) noexcept = 0;
    virtual HResult get_Message(std::u16string* message) noexcept = 0;
    virtual HResult get_HelpFile(std::u16string* helpFile) noexcept = 0;
    virtual HResult get_HelpContextID(std::int32_t* helpContextId) noexcept = 0;
    // A picture handle of the toolkit layer; the command keeps the picture.
    virtual HResult get_Bitmap(std::int32_t* bitmap) noexcept = 0;
    virtual HResult get_Category(std::u16string* category) noexcept = 0;
    virtual HResult OnCreate(IUnknown* hook) noexcept = 0;
    virtual HResult OnClick() noexcept = 0;
    HOST_INTERFACE_END(ICommand)
};

struct IExtension : IUnknown {
    static constexpr Guid iid = guid("{12A4C258-CC9D-4CA7-9F29-79DED88DD45F}");
    virtual HResult get_Name(std::u16string* name) noexcept = 0;
    virtual HResult Startup(Variant* initializationData) noexcept = 0;
    virtual HResult Shutdown() noexcept = 0;
    HOST_INTERFACE_END(IExtension)
};

struct IExtensionConfig : IUnknown {
    static constexpr Guid iid = guid("{7F657EC9-DBF1-11D2-9F2F-00C04F6BC69E}");
    virtual HResult get_ProductName(std::u16string* name) noexcept = 0;
    virtual HResult get_Description(std::u16string* description) noexcept = 0;
    virtual HResult get_State(std::int32_t* state) noexcept = 0;
    virtual HResult put_State(std::int32_t state) noexcept = 0;
    HOST_INTERFACE_END(IExtensionConfig)
};

struct IToolBarDef : IUnknown {
    static constexpr Guid iid = guid("{61B318F0-CDA0-11D1-B9A8-080009EE4E51}");
    virtual HResult get_ItemCount(std::int32_t* count) noexcept = 0;
    virtual HResult GetItemInfo(std::int32_t pos, IToolBarItemDefinition* itemDef) noexcept = 0;
    virtual HResult get_Name(std::u16string* name) noexcept = 0;
    virtual HResult get_Caption(std::u16string* caption) noexcept = 0;
    HOST_INTERFACE_END(IToolBarDef)
};

} // namespace host
