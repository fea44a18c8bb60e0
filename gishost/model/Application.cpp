#include "gishost/model/Application.h"

#include "engine/Text.h"
#include "runtime/Creation.h"

namespace gishost {

using namespace engine;

HResult Application::get_Document(runtime::IUnknown** document) noexcept
{
    return giveObject(document, ComPtr<host::IMapDocument>(document_.get()));
}

HResult Application::FindExtensionByCLSID(host::IHostIdentifier* id, runtime::IUnknown** extension) noexcept
{
    if (!id || !extension) return runtime::E_POINTER;
    return guarded([&] {
        runtime::Variant value;
        HResult hr = id->get_Value(&value);
        if (runtime::failed(hr)) return hr;
        const auto* text = value.get<std::u16string>();
        if (!text) return runtime::E_INVALIDARG;
        const std::string name = toUtf8(*text);
        Guid clsid;
        if (const auto parsed = Guid::parse(name))
            clsid = *parsed;
        else if (runtime::failed(runtime::clsidFromProgId(name, &clsid)))
            return giveObject(extension, ComPtr<runtime::IUnknown>()); // no such class, so no such extension
        return giveObject(extension, extensions_.find(clsid));
    });
}

} // namespace gishost
