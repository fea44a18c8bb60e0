#pragma once

#include "hostkit/HostObject.h"
#include "host/ObjectModel.h"

#include <string>

namespace hostkit {

// A raster or any other layer without features: a layer, but not a feature
// layer.
class PlainLayer final : public HostObject<host::ILayer> {
public:
    explicit PlainLayer(std::u16string name) : name_(std::move(name)) {}
    HResult get_Name(std::u16string* name) noexcept override { return give(name, name_); }

private:
    std::u16string name_;
};

} // namespace hostkit
