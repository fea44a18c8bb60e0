#pragma once

#include "gishost/model/FeatureClass.h"

namespace gishost {

// The fields of a feature class, read afresh on every call so that the
// collection follows fields added or deleted after it was handed out.
class FieldCollection final : public HostObject<host::IFieldCollection> {
public:
    explicit FieldCollection(ComPtr<FeatureClass> table) : table_(std::move(table)) {}

    HResult get_FieldCount(std::int32_t* count) noexcept override;
    HResult get_Field(std::int32_t index, host::IFieldDefinition** field) noexcept override;
    // An exact match first, then one that ignores letter case, as OGR does.
    HResult FindField(const std::u16string& name, std::int32_t* index) noexcept override;

private:
    ComPtr<FeatureClass> table_;
};

} // namespace gishost
