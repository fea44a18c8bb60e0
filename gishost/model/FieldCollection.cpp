#include "gishost/model/FieldCollection.h"

#include "gishost/model/FieldDefinition.h"

namespace gishost {

FieldCollection::FieldCollection(ComPtr<FeatureClass> table, FeatureClass::FieldList fields)
    : table_(std::move(table)), fields_(std::move(fields)), generation_(table_->table().dataset().generation())
{
}

HResult FieldCollection::current(FeatureClass::FieldList& fields)
{
    const std::uint64_t now = table_->table().dataset().generation();
    if (now != generation_) {
        const HResult hr = table_->fields(fields_);
        if (runtime::failed(hr)) return hr;
        generation_ = now;
    }
    fields = fields_;
    return S_OK;
}

HResult FieldCollection::get_FieldCount(std::int32_t* count) noexcept
{
    if (!count) return runtime::E_POINTER;
    return guarded([&] {
        FeatureClass::FieldList fields;
        const HResult hr = current(fields);
        if (runtime::succeeded(hr)) *count = static_cast<std::int32_t>(fields->size());
        return hr;
    });
}

HResult FieldCollection::get_Field(std::int32_t index, host::IFieldDefinition** field) noexcept
{
    if (!field) return runtime::E_POINTER;
    return guarded([&] {
        FeatureClass::FieldList fields;
        const HResult hr = current(fields);
        if (runtime::failed(hr)) return hr;
        if (index < 0 || static_cast<std::size_t>(index) >= fields->size()) return runtime::E_INVALIDARG;
        return giveObject(field, runtime::make<FieldDefinition>((*fields)[static_cast<std::size_t>(index)]));
    });
}

HResult FieldCollection::FindField(const std::u16string& name, std::int32_t* index) noexcept
{
    if (!index) return runtime::E_POINTER;
    return guarded([&] {
        FeatureClass::FieldList list;
        const HResult hr = current(list);
        if (runtime::failed(hr)) return hr;
        *index = hostkit::findField(*list, name);
        return S_OK;
    });
}

} // namespace gishost
