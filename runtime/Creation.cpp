#include "runtime/Creation.h"

#include "runtime/OutParams.h"

#include <dlfcn.h>

#include <filesystem>
#include <map>
#include <mutex>

namespace runtime {

namespace {

struct LoadedModule {
    void* handle = nullptr;
};

struct Tables {
    std::mutex mutex;
    std::map<Guid, ComPtr<IClassFactory>> ownClasses;
    std::map<std::string, LoadedModule> modules;
};

Tables& tables()
{
    static Tables t;
    return t;
}

std::string canonical(const std::string& path)
{
    std::error_code ec;
    const auto p = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : p.string();
}

} // namespace

void* moduleEntryPoint(const std::string& modulePath, const char* name, HResult* error) noexcept
{
    auto& t = tables();
    const std::string key = canonical(modulePath);
    std::lock_guard lock(t.mutex);
    auto it = t.modules.find(key);
    if (it == t.modules.end()) {
        void* handle = dlopen(key.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            if (error) *error = CO_E_DLLNOTFOUND;
            return nullptr;
        }
        it = t.modules.emplace(key, LoadedModule{handle}).first;
    }
    void* symbol = dlsym(it->second.handle, name);
    if (!symbol && error) *error = CO_E_ERRORINDLL;
    return symbol;
}

HResult getClassObject(const Guid& clsid, const Guid& iid, void** object) noexcept
{
    if (!object) return E_POINTER;
    *object = nullptr;
    return guarded([&] {
        auto& t = tables();
        {
            std::lock_guard lock(t.mutex);
            if (auto it = t.ownClasses.find(clsid); it != t.ownClasses.end())
                return it->second->QueryInterface(iid, object);
        }
        const auto entry = Store::current().findClass(clsid);
        if (!entry || entry->modulePath.empty()) return REGDB_E_CLASSNOTREG;
        HResult error = S_OK;
        auto fn = reinterpret_cast<DllGetClassObjectFn>(moduleEntryPoint(entry->modulePath, "DllGetClassObject", &error));
        if (!fn) return error;
        return fn(&clsid, &iid, object);
    });
}

HResult createInstance(const Guid& clsid, const Guid& iid, void** object) noexcept
{
    if (!object) return E_POINTER;
    *object = nullptr;
    ComPtr<IClassFactory> factory;
    HResult hr = getClassObject(clsid, IClassFactory::iid, factory.putVoid());
    if (failed(hr)) return hr;
    return factory->CreateInstance(nullptr, iid, object);
}

HResult clsidFromProgId(const std::string& progId, Guid* clsid) noexcept
{
    if (!clsid) return E_POINTER;
    return guarded([&] {
        const auto found = Store::current().clsidFromProgId(progId);
        if (!found) return CO_E_CLASSSTRING;
        *clsid = *found;
        return S_OK;
    });
}

ClassRegistration::ClassRegistration(const Guid& clsid, ComPtr<IClassFactory> factory) : clsid_(clsid), active_(true)
{
    auto& t = tables();
    std::lock_guard lock(t.mutex);
    t.ownClasses[clsid] = std::move(factory);
}

ClassRegistration::ClassRegistration(ClassRegistration&& other) noexcept
    : clsid_(other.clsid_), active_(std::exchange(other.active_, false))
{
}

ClassRegistration& ClassRegistration::operator=(ClassRegistration&& other) noexcept
{
    if (this != &other) {
        revoke();
        clsid_ = other.clsid_;
        active_ = std::exchange(other.active_, false);
    }
    return *this;
}

ClassRegistration::~ClassRegistration() { revoke(); }

void ClassRegistration::revoke() noexcept
{
    if (!std::exchange(active_, false)) return;
    ComPtr<IClassFactory> released;
    auto& t = tables();
    std::lock_guard lock(t.mutex);
    if (auto it = t.ownClasses.find(clsid_); it != t.ownClasses.end()) {
        released = std::move(it->second);
        t.ownClasses.erase(it);
    }
}

void freeUnusedLibraries() noexcept
{
    auto& t = tables();
    std::lock_guard lock(t.mutex);
    for (auto it = t.modules.begin(); it != t.modules.end();) {
        auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(dlsym(it->second.handle, "DllCanUnloadNow"));
        if (canUnload && canUnload() == S_OK) {
            dlclose(it->second.handle);
            it = t.modules.erase(it);
        } else {
            ++it;
        }
    }
}

bool isModuleLoaded(const std::string& modulePath) noexcept
{
    auto& t = tables();
    std::lock_guard lock(t.mutex);
    return t.modules.count(canonical(modulePath)) > 0;
}

std::string modulePathOf(const void* address)
{
    Dl_info info{};
    if (!dladdr(address, &info) || !info.dli_fname) return {};
    return canonical(info.dli_fname);
}

} // namespace runtime
