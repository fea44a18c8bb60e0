#include "gishost/model/FeatureClass.h"

#include "gishost/model/FieldCollection.h"
#include "gishost/model/FieldSchema.h"
#include "engine/GpkgAliases.h"
#include "engine/OgrStatus.h"
#include "gishost/model/RequiredFields.h"
#include "gishost/model/RowCursor.h"
#include "engine/Text.h"
#include "engine/Transaction.h"

#include <ogrsf_frmts.h>

#include <map>

namespace gishost {

using namespace engine;

using namespace host;

FeatureClass::FeatureClass(std::shared_ptr<DataSource> source, OGRLayer& layer)
    : source_(std::move(source)), layer_(layer), required_(requiredFieldNames(layer))
{
}

HResult FeatureClass::get_Fields(IFieldCollection** fields) noexcept
{
    return guarded([&] { return giveObject(fields, runtime::make<FieldCollection>(ComPtr<FeatureClass>(this))); });
}

HResult FeatureClass::fields(std::vector<FieldInfo>& out) const
{
    std::map<std::string, std::string> gpkgAliases;
    if (source_->isGeoPackage()) {
        const HResult hr = readGpkgAliases(source_->dataset(), layer_.GetName(), gpkgAliases);
        if (runtime::failed(hr)) return hr;
    }
    OGRFeatureDefn& definition = *layer_.GetLayerDefn();
    out.clear();
    out.push_back(objectIdField(layer_));
    for (int i = 0; i < definition.GetGeomFieldCount(); ++i) out.push_back(geometryField(*definition.GetGeomFieldDefn(i)));
    for (int i = 0; i < definition.GetFieldCount(); ++i) {
        const OGRFieldDefn& field = *definition.GetFieldDefn(i);
        const std::string name = field.GetNameRef();
        const auto alias = gpkgAliases.find(name);
        out.push_back(attributeField(field, alias != gpkgAliases.end() ? alias->second : field.GetAlternativeNameRef(),
                                     required_.count(name) > 0));
    }
    return S_OK;
}

int FeatureClass::attributeIndex(const std::string& name) const
{
    const OGRFeatureDefn& definition = *layer_.GetLayerDefn();
    for (int i = 0; i < definition.GetFieldCount(); ++i)
        if (name == definition.GetFieldDefn(i)->GetNameRef()) return i;
    return -1;
}

HResult FeatureClass::AddField(IFieldDefinition* field) noexcept
{
    if (!field) return runtime::E_POINTER;
    return guarded([&] {
        FieldInfo info;
        const HResult hr = readDefinition(*field, info);
        return runtime::failed(hr) ? hr : addField(info);
    });
}

HResult FeatureClass::DeleteField(IFieldDefinition* field) noexcept
{
    if (!field) return runtime::E_POINTER;
    return guarded([&] {
        std::u16string name;
        const HResult hr = field->get_Name(&name);
        return runtime::failed(hr) ? hr : deleteField(toUtf8(name));
    });
}

HResult FeatureClass::Search(runtime::IUnknown* filter, bool, IRowCursor** cursor) noexcept
{
    if (!cursor) return runtime::E_POINTER;
    // Only the pass over every row is offered; a filtered one is not.
    if (filter) return runtime::E_NOTIMPL;
    return guarded([&] { return giveObject(cursor, runtime::make<RowCursor>(ComPtr<FeatureClass>(this))); });
}

HResult FeatureClass::schemaChangeAllowed(const char* capability) const
{
    if (source_->readOnly()) return runtime::E_ACCESSDENIED;
    return layer_.TestCapability(capability) ? S_OK : runtime::E_NOTIMPL;
}

HResult FeatureClass::addField(const FieldInfo& info)
{
    std::unique_ptr<OGRFieldDefn> field;
    HResult hr = ogrFieldFor(info, field);
    if (runtime::failed(hr) || runtime::failed(hr = schemaChangeAllowed(OLCCreateField))) return hr;

    Transaction transaction(source_->dataset(), false);
    if (runtime::failed(hr = transaction.started())) return hr;
    if (runtime::failed(hr = statusOf(layer_.CreateField(field.get(), FALSE)))) return hr;
    if (source_->isGeoPackage() && !info.alias.empty())
        hr = writeGpkgAlias(source_->dataset(), layer_.GetName(), field->GetNameRef(), toUtf8(info.alias));
    return runtime::failed(hr) ? hr : transaction.commit();
}

HResult FeatureClass::deleteField(const std::string& name)
{
    const int index = attributeIndex(name);
    if (index < 0 || required_.count(name)) return runtime::E_INVALIDARG;
    HResult hr = schemaChangeAllowed(OLCDeleteField);
    if (runtime::failed(hr)) return hr;

    Transaction transaction(source_->dataset(), false);
    if (runtime::failed(hr = transaction.started())) return hr;
    if (runtime::failed(hr = statusOf(layer_.DeleteField(index)))) return hr;
    if (source_->isGeoPackage()) hr = forgetGpkgColumn(source_->dataset(), layer_.GetName(), name);
    return runtime::failed(hr) ? hr : transaction.commit();
}

} // namespace gishost
