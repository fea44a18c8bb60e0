// The four entry points of the loadable module; the runtime does the work.

#include "server/Module.h"

#include "runtime/Creation.h"

#define QUILLET_ENTRY extern "C" __attribute__((visibility("default")))

using runtime::Guid;
using runtime::HResult;

QUILLET_ENTRY HResult DllGetClassObject(const Guid* clsid, const Guid* iid, void** object)
{
    return runtime::serverGetClassObject(quillet::serverDescription(), clsid, iid, object);
}

QUILLET_ENTRY HResult DllCanUnloadNow() { return runtime::serverCanUnloadNow(quillet::moduleLife); }

QUILLET_ENTRY HResult DllRegisterServer()
{
    return runtime::registerServer(quillet::serverDescription(),
                                   runtime::modulePathOf(reinterpret_cast<const void*>(&DllRegisterServer)));
}

QUILLET_ENTRY HResult DllUnregisterServer() { return runtime::unregisterServer(quillet::serverDescription()); }
