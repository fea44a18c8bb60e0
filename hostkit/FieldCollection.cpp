#include "hostkit/FieldCollection.h"

#include "hostkit/FieldDefinition.h"

namespace hostkit {

HResult FieldCollection::get_FieldCount(std::int32_t* count) noexcept
{
    if (!count) return runtime::E_POINTER;
    return guarded([&] {
        FieldList fields;
        const HResult hr = read_(fields);
        if (runtime::succeeded(hr)) *count = static_cast<std::int32_t>(fields->size());
        return hr;
    });
}

HResult FieldCollection::get_Field(std::int32_t index, host::IFieldDefinition** field) noexcept
{
    if (!field) return runtime::E_POINTER;
    return guarded([&] {
        FieldList fields;
        const HResult hr = read_(fields);
        if (runtime::failed(hr)) return hr;
        if (index < 0 || static_cast<std::size_t>(index) >= fields->size()) return runtime::E_INVALIDARG;
        return giveObject(field, runtime::make<FieldDefinition>((*fields)[static_cast<std::size_t>(index)]));
    });
}

HResult FieldCollection::FindField(const std::u16string& name, std::int32_t* index) noexcept
{
    if (!index) return runtime::E_POINTER;
    return guarded([&] {
        FieldList fields;
        const HResult hr = read_(fields);
        if (runtime::failed(hr)) return hr;
        *index = findField(*fields, name);
        return S_OK;
    });
}

} // namespace hostkit
