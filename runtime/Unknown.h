#pragma once

#include "runtime/Guid.h"
#include "runtime/Status.h"

#include <cstdint>

namespace runtime {

// The base of every interface. Interfaces derive from it alone, so their
// slots follow the declaration order after these three.
struct IUnknown {
    static constexpr Guid iid = guid("{00000000-0000-0000-C000-000000000046}");
    virtual HResult QueryInterface(const Guid& iid, void** object) noexcept = 0;
    virtual std::uint32_t AddRef() noexcept = 0;
    virtual std::uint32_t Release() noexcept = 0;

protected:
    ~IUnknown() = default;
};

struct IClassFactory : IUnknown {
    static constexpr Guid iid = guid("{00000001-0000-0000-C000-000000000046}");
    virtual HResult CreateInstance(IUnknown* outer, const Guid& iid, void** object) noexcept = 0;
    virtual HResult LockServer(bool lock) noexcept = 0;

protected:
    ~IClassFactory() = default;
};

} // namespace runtime
