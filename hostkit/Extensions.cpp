#include "hostkit/Extensions.h"

#include "runtime/Creation.h"
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

} // namespace hostkit
