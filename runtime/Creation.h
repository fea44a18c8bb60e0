#pragma once

#include "runtime/ComPtr.h"
#include "runtime/Store.h"

#include <string>

namespace runtime {

// The signatures of a module's four entry points.
using DllGetClassObjectFn = HResult (*)(const Guid* clsid, const Guid* iid, void** object);
using DllCanUnloadNowFn = HResult (*)();
using DllRegisterServerFn = HResult (*)();
using DllUnregisterServerFn = HResult (*)();

// Finds the class factory: a class the process registered itself first,
// then the registration store (loading the class's module).
HResult getClassObject(const Guid& clsid, const Guid& iid, void** object) noexcept;
HResult createInstance(const Guid& clsid, const Guid& iid, void** object) noexcept;
HResult clsidFromProgId(const std::string& progId, Guid* clsid) noexcept;

template <class T>
HResult createInstance(const Guid& clsid, ComPtr<T>& out) noexcept
{
    T* p = nullptr;
    const HResult hr = createInstance(clsid, T::iid, reinterpret_cast<void**>(&p));
    if (succeeded(hr)) out = ComPtr<T>::adopt(p);
    return hr;
}

template <class T>
HResult createInstance(const std::string& progId, ComPtr<T>& out) noexcept
{
    Guid clsid;
    const HResult hr = clsidFromProgId(progId, &clsid);
    return failed(hr) ? REGDB_E_CLASSNOTREG : createInstance(clsid, out);
}

// A class that this process serves itself, for as long as the registration lives.
class ClassRegistration {
public:
    ClassRegistration() = default;
    ClassRegistration(const Guid& clsid, ComPtr<IClassFactory> factory);
    ClassRegistration(ClassRegistration&& other) noexcept;
    ClassRegistration& operator=(ClassRegistration&& other) noexcept;
    ~ClassRegistration();

private:
    void revoke() noexcept;
    Guid clsid_{};
    bool active_ = false;
};

// A module's entry point, loading the module if need be; null when absent.
void* moduleEntryPoint(const std::string& modulePath, const char* name, HResult* error = nullptr) noexcept;

// Closes every loaded module whose DllCanUnloadNow answers S_OK.
void freeUnusedLibraries() noexcept;
bool isModuleLoaded(const std::string& modulePath) noexcept;

// The file of the module that holds `address` (for self-registration).
std::string modulePathOf(const void* address);

} // namespace runtime
