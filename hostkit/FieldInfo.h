#pragma once

#include "host/ObjectModel.h"
#include "runtime/ComPtr.h"

#include <cstdint>
#include <string>

namespace hostkit {

// Everything a field definition tells, as the host hands it out.
struct FieldInfo {
    std::u16string name;
    std::u16string alias;
    std::int32_t type = 0;
    runtime::Variant defaultValue;
    std::int32_t length = 0;
    std::int32_t precision = 0;
    std::int32_t scale = 0;
    bool nullable = true;
    bool editable = true;
    bool required = false;
    runtime::ComPtr<runtime::IUnknown> geometryDefinition;
};

// Reads every attribute of a definition through its interface.
runtime::HResult readDefinition(host::IFieldDefinition& definition, FieldInfo& info);

} // namespace hostkit
