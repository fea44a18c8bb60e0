#pragma once

#include "hostkit/FieldInfo.h"
#include "hostkit/HostObject.h"
#include "host/ObjectModel.h"

namespace hostkit {

// Answers IFieldDefinition from a FieldInfo; `Interfaces` include it.
template <class... Interfaces>
class FieldDefinitionBase : public HostObject<Interfaces...> {
public:
    HResult get_Name(std::u16string* name) noexcept override { return give(name, info_.name); }
    HResult get_AliasName(std::u16string* alias) noexcept override { return give(alias, info_.alias); }
    HResult get_Type(std::int32_t* type) noexcept override { return give(type, info_.type); }
    HResult get_DefaultValue(runtime::Variant* value) noexcept override { return give(value, info_.defaultValue); }
    HResult get_Length(std::int32_t* length) noexcept override { return give(length, info_.length); }
    HResult get_Precision(std::int32_t* precision) noexcept override { return give(precision, info_.precision); }
    HResult get_Scale(std::int32_t* scale) noexcept override { return give(scale, info_.scale); }
    HResult get_IsNullable(bool* nullable) noexcept override { return give(nullable, info_.nullable); }
    HResult get_Editable(bool* editable) noexcept override { return give(editable, info_.editable); }
    HResult get_Required(bool* required) noexcept override { return give(required, info_.required); }
    HResult get_GeometryDefinition(runtime::IUnknown** definition) noexcept override
    {
        return giveObject(definition, info_.geometryDefinition);
    }

protected:
    FieldInfo info_;
};

// A field of a feature class as it was when the definition was handed out.
class FieldDefinition final : public FieldDefinitionBase<host::IFieldDefinition> {
public:
    explicit FieldDefinition(FieldInfo info) { info_ = std::move(info); }
};

} // namespace hostkit
