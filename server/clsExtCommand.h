#pragma once

#include "host/AddinInterfaces.h"
#include "server/Module.h"

#include <memory>

namespace quillet {

class frmQuillet;
class frmSplash;

using runtime::ComPtr;
using runtime::HResult;

// The command's own automation interface.
struct _clsExtCommand : runtime::IUnknown {
    static constexpr Guid iid = guid("{D62B334C-8A8B-4360-A8E1-CF1D9C115332}");
    virtual HResult get_m_pApp(host::IHostApplication** app) noexcept = 0;
    virtual HResult putref_m_pApp(host::IHostApplication* app) noexcept = 0;
    virtual HResult get_m_pDoc(host::IMapDocument** doc) noexcept = 0;
    virtual HResult putref_m_pDoc(host::IMapDocument* doc) noexcept = 0;

protected:
    ~_clsExtCommand() = default;
};

// The add-in's toolbar button.
class clsExtCommand : public runtime::Object<moduleLife, _clsExtCommand, host::ICommand> {
public:
    clsExtCommand();
    ~clsExtCommand() override;

    HResult get_m_pApp(host::IHostApplication** app) noexcept override;
    HResult putref_m_pApp(host::IHostApplication* app) noexcept override;
    HResult get_m_pDoc(host::IMapDocument** doc) noexcept override;
    HResult putref_m_pDoc(host::IMapDocument* doc) noexcept override;

    HResult get_Enabled(bool* enabled) noexcept override;
    HResult get_Checked(bool* checked) noexcept override;
    HResult get_Name(std::u16string* name) noexcept override;
    HResult get_Caption(std::u16string* caption) noexcept override;
    HResult get_Tooltip(std::u16string* tooltip) noexcept override;
    HResult get_Message(std::u16string* message) noexcept override;
    HResult get_HelpFile(std::u16string* helpFile) noexcept override;
    HResult get_HelpContextID(std::int32_t* helpContextId) noexcept override;
    HResult get_Bitmap(std::int32_t* bitmap) noexcept override;
    HResult get_Category(std::u16string* category) noexcept override;
    HResult OnCreate(runtime::IUnknown* hook) noexcept override;
    HResult OnClick() noexcept override;

private:
    ComPtr<host::IHostApplication> m_pApp;
    ComPtr<host::IMapDocument> m_pDoc;
    // Taken in OnCreate and held while the command lives, as the command
    // always has; nothing reads them, but dropping them would change when
    // the host sees its map and extension released.
    ComPtr<host::IMap> m_pMap;
    ComPtr<host::IExtension> m_pExtension;
    std::unique_ptr<frmQuillet> m_frmQuillet;
    std::unique_ptr<frmSplash> m_frmSplash;
};

} // namespace quillet
