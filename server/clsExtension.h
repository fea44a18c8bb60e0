#pragma once

#include "host/AddinInterfaces.h"
#include "server/Module.h"

namespace quillet {

using runtime::HResult;

struct _clsExtension : runtime::IUnknown {
    static constexpr Guid iid = guid("{0C47DA77-553E-4978-ADD3-3ECD8BBAAD98}");

protected:
    ~_clsExtension() = default;
};

// The add-in's extension: it reports its names and a constant state.
class clsExtension : public runtime::Object<moduleLife, _clsExtension, host::IExtension, host::IExtensionConfig> {
public:
    HResult get_Name(std::u16string* name) noexcept override;
    HResult Startup(runtime::Variant* initializationData) noexcept override;
    HResult Shutdown() noexcept override;
    HResult get_ProductName(std::u16string* name) noexcept override;
    HResult get_Description(std::u16string* description) noexcept override;
    HResult get_State(std::int32_t* state) noexcept override;
    HResult put_State(std::int32_t state) noexcept override;
};

} // namespace quillet
