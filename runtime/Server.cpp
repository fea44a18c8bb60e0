#include "runtime/Server.h"

#include "runtime/OutParams.h"
#include "runtime/Store.h"

namespace runtime {

// Self-registration answers its own status for every failure, an escaping
// exception included.
HResult registerServer(const ServerDescription& server, const std::string& modulePath) noexcept
{
    const HResult hr = guarded([&] {
        const Store store = Store::current();
        HResult result = store.registerTypeLib({server.typeLib, server.projectName, server.typeLibVersion, modulePath});
        for (const ServerClass& c : server.classes) {
            if (failed(result)) break;
            result = store.registerClass({c.clsid, c.name, c.progId, modulePath, server.threadingModel, server.typeLib});
        }
        return result;
    });
    return failed(hr) ? SELFREG_E_CLASS : S_OK;
}

HResult unregisterServer(const ServerDescription& server) noexcept
{
    const HResult hr = guarded([&] {
        const Store store = Store::current();
        HResult result = S_OK;
        for (const ServerClass& c : server.classes)
            if (failed(store.unregisterClass(c.clsid))) result = SELFREG_E_CLASS;
        if (failed(store.unregisterTypeLib(server.typeLib))) result = SELFREG_E_CLASS;
        return result;
    });
    return failed(hr) ? SELFREG_E_CLASS : S_OK;
}

HResult serverGetClassObject(const ServerDescription& server, const Guid* clsid, const Guid* iid, void** object) noexcept
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (!clsid || !iid) return E_INVALIDARG;
    for (const ServerClass& c : server.classes)
        if (c.clsid == *clsid) return c.getClassObject(*iid, object);
    return CLASS_E_CLASSNOTAVAILABLE;
}

HResult serverCanUnloadNow(const ModuleLife& life) noexcept { return life.canUnload() ? S_OK : S_FALSE; }

} // namespace runtime
