#pragma once

// What an in-process server module hands to the runtime: its classes and
// type library. The runtime does registration, class factories and unload
// counting for it.

#include "runtime/Object.h"

#include <span>
#include <string>

namespace runtime {

using GetClassObjectFn = HResult (*)(const Guid& iid, void** object) noexcept;

struct ServerClass {
    Guid clsid;
    const char* name;
    const char* progId;
    GetClassObjectFn getClassObject;
};

struct ServerDescription {
    const char* projectName;
    Guid typeLib;
    const char* typeLibVersion;
    const char* threadingModel;
    std::span<const ServerClass> classes;
};

// A fresh class factory for T, handed out as `iid`.
template <class T, ModuleLife& Life>
HResult classFactoryFor(const Guid& iid, void** object) noexcept
{
    if (!object) return E_POINTER;
    *object = nullptr;
    auto* factory = new (std::nothrow) ClassFactory<T, Life>();
    if (!factory) return E_OUTOFMEMORY;
    ComPtr<IClassFactory> hold(factory);
    return hold->QueryInterface(iid, object);
}

HResult registerServer(const ServerDescription& server, const std::string& modulePath) noexcept;
HResult unregisterServer(const ServerDescription& server) noexcept;
HResult serverGetClassObject(const ServerDescription& server, const Guid* clsid, const Guid* iid, void** object) noexcept;
HResult serverCanUnloadNow(const ModuleLife& life) noexcept;

} // namespace runtime
