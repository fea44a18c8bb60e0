#pragma once

#include "hostkit/HostObject.h"
#include "host/ObjectModel.h"

namespace hostkit {

// Names a class, by ProgID or class id, for look-ups such as find-extension.
class HostIdentifier final : public HostObject<host::IHostIdentifier> {
public:
    HResult get_Value(runtime::Variant* value) noexcept override { return give(value, value_); }
    HResult put_Value(const runtime::Variant& value) noexcept override { return give(&value_, value); }

private:
    runtime::Variant value_;
};

} // namespace hostkit
