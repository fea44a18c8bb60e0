#include "server/clsExtCommand.h"

#include "runtime/OutParams.h"
#include "dialog/frmQuillet.h"
#include "runtime/Creation.h"
#include "windows/frmResource.h"
#include "windows/frmSplash.h"

namespace quillet {

using namespace host;
using runtime::E_POINTER;
using runtime::S_OK;


clsExtCommand::clsExtCommand()
    : m_frmQuillet(std::make_unique<frmQuillet>()), m_frmSplash(std::make_unique<frmSplash>())
{
}

clsExtCommand::~clsExtCommand() { m_frmQuillet->unload(); }

HResult clsExtCommand::get_m_pApp(IHostApplication** app) noexcept { return m_pApp.copyTo(app); }
HResult clsExtCommand::putref_m_pApp(IHostApplication* app) noexcept
{
    m_pApp = ComPtr<IHostApplication>(app);
    return S_OK;
}
HResult clsExtCommand::get_m_pDoc(IMapDocument** doc) noexcept { return m_pDoc.copyTo(doc); }
HResult clsExtCommand::putref_m_pDoc(IMapDocument* doc) noexcept
{
    m_pDoc = ComPtr<IMapDocument>(doc);
    return S_OK;
}

HResult clsExtCommand::get_Enabled(bool* enabled) noexcept { return runtime::give(enabled, true); }
HResult clsExtCommand::get_Checked(bool* checked) noexcept { return runtime::give(checked, false); }
HResult clsExtCommand::get_Name(std::u16string* name) noexcept { return runtime::give(name, u"Quillet"); }
HResult clsExtCommand::get_Caption(std::u16string* caption) noexcept { return runtime::give(caption, u"Quillet"); }
HResult clsExtCommand::get_Tooltip(std::u16string* tooltip) noexcept
{
    return runtime::give(tooltip, u"Click to launch Quillet");
}
HResult clsExtCommand::get_Message(std::u16string* message) noexcept { return runtime::give(message, u""); }
HResult clsExtCommand::get_HelpFile(std::u16string* helpFile) noexcept { return runtime::give(helpFile, u""); }
HResult clsExtCommand::get_HelpContextID(std::int32_t* helpContextId) noexcept { return runtime::give(helpContextId, 0); }
HResult clsExtCommand::get_Category(std::u16string* category) noexcept { return runtime::give(category, u"Quillet"); }

HResult clsExtCommand::get_Bitmap(std::int32_t* bitmap) noexcept
{
    if (!bitmap) return E_POINTER;
    const forms::PictureHandle handle = frmResource::instance().ImageList1().handle(QStringLiteral("Table"));
    if (handle == 0) return runtime::E_FAIL;
    *bitmap = handle;
    return S_OK;
}

HResult clsExtCommand::OnCreate(runtime::IUnknown* hook) noexcept
{
    if (!hook) return E_POINTER;
    HResult hr = ComPtr<runtime::IUnknown>(hook).queryInterface(m_pApp);
    if (runtime::failed(hr)) return hr;

    ComPtr<runtime::IUnknown> document;
    if (runtime::failed(hr = m_pApp->get_Document(document.put()))) return hr;
    if (runtime::failed(hr = document.queryInterface(m_pDoc))) return hr;

    if (runtime::failed(hr = m_pDoc->get_ActiveMap(m_pMap.put()))) return hr;

    ComPtr<IHostIdentifier> pUID;
    if (runtime::failed(hr = runtime::createInstance(CLSID_HostIdentifier, pUID))) return hr;
    if (runtime::failed(hr = pUID->put_Value(Variant(progId16(progIdExtension))))) return hr;

    ComPtr<runtime::IUnknown> extension;
    if (runtime::failed(hr = m_pApp->FindExtensionByCLSID(pUID.get(), extension.put()))) return hr;
    if (extension) return extension.queryInterface(m_pExtension);
    return S_OK;
}

HResult clsExtCommand::OnClick() noexcept
{
    return runtime::guarded([&] {
        m_frmSplash->load();
        m_frmSplash->showModal();
        m_frmQuillet->load();
        m_frmQuillet->showModal();
        return S_OK;
    });
}

} // namespace quillet
