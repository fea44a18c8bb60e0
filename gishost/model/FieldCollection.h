#pragma once

#include "gishost/model/FeatureClass.h"

namespace gishost {

// The fields of a feature class, answered from one reading of the table;
// it follows the fields added or deleted through the host after it was
// handed out.
class FieldCollection final : public HostObject<host::IFieldCollection> {
public:
    FieldCollection(ComPtr<FeatureClass> table, FeatureClass::FieldList fields);

    HResult get_FieldCount(std::int32_t* count) noexcept override;
    HResult get_Field(std::int32_t index, host::IFieldDefinition** field) noexcept override;
    // An exact match first, then one that ignores letter case, as OGR does.
    HResult FindField(const std::u16string& name, std::int32_t* index) noexcept override;

private:
    // The fields, read again only when the engine's knowledge changed.
    HResult current(FeatureClass::FieldList& fields);

    ComPtr<FeatureClass> table_;
    FeatureClass::FieldList fields_;
    std::uint64_t generation_;
};

} // namespace gishost
