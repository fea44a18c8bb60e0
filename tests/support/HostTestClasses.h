#pragma once

// Classes a test serves as an add-in would, for the hosts to find in their
// categories.

#include "host/AddinInterfaces.h"
#include "runtime/Creation.h"
#include "runtime/Object.h"

namespace testsupport {

// Live objects of the classes below.
inline runtime::ModuleLife testLife;

inline constexpr runtime::Guid CLSID_TestExtension = runtime::guid("{A4C6E0B2-1F3D-4E5A-9B7C-0D2E4F6A8B1C}");

// An extension that counts its starts and shutdowns.
struct TestExtension : runtime::Object<testLife, host::IExtension> {
    static inline int startups = 0;
    static inline int shutdowns = 0;
    runtime::HResult get_Name(std::u16string* name) noexcept override { return *name = u"Test", runtime::S_OK; }
    runtime::HResult Startup(runtime::Variant*) noexcept override { return ++startups, runtime::S_OK; }
    runtime::HResult Shutdown() noexcept override { return ++shutdowns, runtime::S_OK; }
};

// Serves a test class in this process and enters it in the store and a category.
template <class T>
runtime::ClassRegistration serveInCategory(const runtime::Guid& clsid, const char* progId, const runtime::Guid& catid)
{
    const runtime::Store store = runtime::Store::current();
    store.registerClass({clsid, progId, progId, "", "Apartment", {}});
    store.addToCategory(catid, clsid);
    auto factory = runtime::make<runtime::ClassFactory<T, testLife>>();
    return runtime::ClassRegistration(clsid, runtime::ComPtr<runtime::IClassFactory>(factory.get()));
}

} // namespace testsupport
