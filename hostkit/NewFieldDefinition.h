#pragma once

#include "hostkit/FieldDefinition.h"

namespace hostkit {

// A field definition the add-in fills in before it adds the field; a fresh
// one describes a nullable, editable text field with no name.
class NewFieldDefinition final : public FieldDefinitionBase<host::INewFieldDefinition, host::IFieldDefinition> {
public:
    NewFieldDefinition() { info_.type = host::fieldTypeString; }

    HResult put_Name(const std::u16string& name) noexcept override { return give(&info_.name, name); }
    HResult put_AliasName(const std::u16string& alias) noexcept override { return give(&info_.alias, alias); }
    HResult put_DefaultValue(const runtime::Variant& value) noexcept override
    {
        return give(&info_.defaultValue, value);
    }
    HResult put_Editable(bool editable) noexcept override { return give(&info_.editable, editable); }
    HResult put_IsNullable(bool nullable) noexcept override { return give(&info_.nullable, nullable); }
    HResult put_Length(std::int32_t length) noexcept override { return give(&info_.length, length); }
    HResult put_Precision(std::int32_t precision) noexcept override { return give(&info_.precision, precision); }
    HResult put_Required(bool required) noexcept override { return give(&info_.required, required); }
    HResult put_Scale(std::int32_t scale) noexcept override { return give(&info_.scale, scale); }
    HResult put_Type(std::int32_t type) noexcept override { return give(&info_.type, type); }
};

} // namespace hostkit
