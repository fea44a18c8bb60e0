#include "hostkit/Extensions.h"

#include "runtime/Creation.h"

#include <QString>
#include "runtime/Store.h"

namespace hostkit {

std::vector<std::string> Extensions::startAll()
{
    std::vector<std::string> problems;
    for (const Guid& clsid : runtime::Store::current().classesInCategory(host::CATID_Extensions)) {
        ComPtr<host::IExtension> extension;
        HResult hr = runtime::createInstance(clsid, extension);
        runtime::Variant initializationData;
        if (runtime::succeeded(hr)) hr = extension->Startup(&initializationData);
        if (runtime::succeeded(hr))
            started_.emplace_back(clsid, extension);
        else
            problems.push_back("The extension " + clsid.toString() + " could not be started.");
    }
    return problems;
}

void Extensions::shutdownAll() noexcept
{
    // Last started, first shut down.
    while (!started_.empty()) {
        started_.back().second->Shutdown();
        started_.pop_back();
    }
}

ComPtr<runtime::IUnknown> Extensions::find(const Guid& clsid) const
{
    for (const auto& [id, extension] : started_)
        if (id == clsid) return ComPtr<runtime::IUnknown>(extension.get());
    return nullptr;
}

HResult Extensions::find(host::IHostIdentifier* id, runtime::IUnknown** extension) const noexcept
{
    if (!id || !extension) return runtime::E_POINTER;
    return guarded([&] {
        runtime::Variant value;
        HResult hr = id->get_Value(&value);
        if (runtime::failed(hr)) return hr;
        const auto* text = value.get<std::u16string>();
        if (!text) return runtime::E_INVALIDARG;
        const std::string name = QString::fromStdU16String(*text).toStdString();
        Guid clsid;
        if (const auto parsed = Guid::parse(name))
            clsid = *parsed;
        else if (runtime::failed(runtime::clsidFromProgId(name, &clsid)))
            return giveObject(extension, ComPtr<runtime::IUnknown>()); // no such class, so no such extension
        return giveObject(extension, find(clsid));
    });
}

} // namespace hostkit
