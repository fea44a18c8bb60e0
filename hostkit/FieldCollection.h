#pragma once

#include "hostkit/FieldInfo.h"
#include "hostkit/HostObject.h"
#include "host/ObjectModel.h"

#include <functional>
#include <vector>

namespace hostkit {

// The fields of a table, asked of the reader on every call so that the
// collection follows fields added or deleted after it was handed out.
class FieldCollection final : public HostObject<host::IFieldCollection> {
public:
    using Reader = std::function<HResult(FieldList&)>;
    explicit FieldCollection(Reader read) : read_(std::move(read)) {}

    HResult get_FieldCount(std::int32_t* count) noexcept override;
    HResult get_Field(std::int32_t index, host::IFieldDefinition** field) noexcept override;
    // An exact match first, then one that ignores letter case.
    HResult FindField(const std::u16string& name, std::int32_t* index) noexcept override;

private:
    Reader read_;
};

} // namespace hostkit
