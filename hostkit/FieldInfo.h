#pragma once

#include "host/ObjectModel.h"
#include "runtime/ComPtr.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

// One reading of a table's fields, shared by whoever holds it.
using FieldList = std::shared_ptr<const std::vector<FieldInfo>>;

// What a host calls an object id or a geometry column its data leaves unnamed.
inline constexpr char16_t defaultObjectIdName[] = u"FID";
inline constexpr char16_t defaultGeometryName[] = u"Shape";

// The object id and a geometry as every host lists them: fields of their
// own, required and not editable; an empty name gets the default.
FieldInfo objectIdField(std::u16string name);
FieldInfo geometryField(std::u16string name, bool nullable);

// The index of the field of this name: an exact match first, then one that
// ignores letter case, as GDAL looks names up; -1 when there is none.
std::int32_t findField(const std::vector<FieldInfo>& fields, const std::u16string& name);

// Reads every attribute of a definition through its interface.
runtime::HResult readDefinition(host::IFieldDefinition& definition, FieldInfo& info);

} // namespace hostkit
