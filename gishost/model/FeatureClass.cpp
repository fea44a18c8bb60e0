#include "gishost/model/FeatureClass.h"

#include "gishost/model/FieldCollection.h"
#include "gishost/model/FieldSchema.h"
#include "engine/FieldTypes.h"
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
namespace pg = engine::pg;

FeatureClass::FeatureClass(std::shared_ptr<DataSource> source, OGRLayer& layer)
    : source_(std::move(source)), layerName_(layer.GetName()), required_(requiredFieldNames(layer))
{
}

HResult FeatureClass::get_Fields(IFieldCollection** fields) noexcept
{
    return guarded([&] { return giveObject(fields, runtime::make<FieldCollection>(ComPtr<FeatureClass>(this))); });
}

namespace {

// Whether GDAL's layer has exactly the table's columns.
bool followsTable(OGRLayer& layer, const std::map<std::string, pg::ColumnFacts>& columns)
{
    const OGRFeatureDefn& definition = *layer.GetLayerDefn();
    std::set<std::string> known;
    if (const char* fid = layer.GetFIDColumn(); fid && *fid) known.insert(fid);
    for (int i = 0; i < definition.GetGeomFieldCount(); ++i) known.insert(definition.GetGeomFieldDefn(i)->GetNameRef());
    for (int i = 0; i < definition.GetFieldCount(); ++i) {
        known.insert(definition.GetFieldDefn(i)->GetNameRef());
        if (!columns.count(definition.GetFieldDefn(i)->GetNameRef())) return false;
    }
    for (const auto& column : columns)
        if (!known.count(column.first)) return false;
    return true;
}

// A column whose type the field's code would not make again keeps a code
// of its own, so that a field added from its definition gets that type.
std::int32_t exactTypeCode(const FieldInfo& info, const std::string& columnType)
{
    const auto made = ogrTypeOf(info.type);
    if (!made) return info.type;
    OGRFieldDefn field("", made->type);
    field.SetSubType(made->subType);
    field.SetWidth(info.length);
    field.SetPrecision(info.scale);
    if (pg::sameColumnType(pg::columnType(field), columnType)) return info.type;
    // GDAL reads some types it does not know (interval, ranges) as integers;
    // their values and defaults are text.
    const bool integer = made->type == OFTInteger || made->type == OFTInteger64;
    return databaseTypeCode({columnType, integer ? host::fieldTypeString : info.type});
}

} // namespace

// GDAL 3.6 keeps no alias for GeoPackage or PostgreSQL: the host reads them
// from gpkg_data_columns and from the columns' comments. A database also
// tells each column's exact type.
HResult FeatureClass::readExtras(Extras& extras) const
{
    extras = {};
    if (source_->isGeoPackage()) return readGpkgAliases(source_->dataset(), layerName_, extras.aliases);
    const pg::Table* table = source_->table(layerName_);
    if (!table) return S_OK;
    std::map<std::string, pg::ColumnFacts> columns;
    HResult hr = pg::readColumns(source_->dataset(), *table, columns);
    // A connection the server closed is taken up again.
    if (runtime::failed(hr) && source_->reconnectIfLost()) hr = pg::readColumns(source_->dataset(), *table, columns);
    // Another session may have changed the table since GDAL read it.
    if (OGRLayer* layer = this->layer(); runtime::succeeded(hr) && layer && !followsTable(*layer, columns))
        source_->reopen();
    for (const auto& [name, facts] : columns) {
        if (facts.comment) extras.aliases[name] = *facts.comment;
        extras.columnTypes[name] = facts.type;
    }
    return hr;
}

HResult FeatureClass::fields(std::vector<FieldInfo>& out) const
{
    // First, as it may connect again, which renews the layers.
    Extras extras;
    if (const HResult hr = readExtras(extras); runtime::failed(hr)) return hr;
    OGRLayer* layer = this->layer();
    if (!layer) return runtime::E_FAIL;
    OGRFeatureDefn& definition = *layer->GetLayerDefn();
    out.clear();
    out.push_back(objectIdField(*layer));
    for (int i = 0; i < definition.GetGeomFieldCount(); ++i) out.push_back(geometryField(*definition.GetGeomFieldDefn(i)));
    for (int i = 0; i < definition.GetFieldCount(); ++i) {
        OGRFieldDefn field(definition.GetFieldDefn(i));
        const std::string name = field.GetNameRef();
        // The database's casts would make its defaults unreadable as values.
        if (source_->isPostgres()) field.SetDefault(pg::ogrDefault(field) ? pg::ogrDefault(field)->c_str() : nullptr);
        const auto alias = extras.aliases.find(name);
        FieldInfo info = attributeField(field, alias != extras.aliases.end() ? alias->second : field.GetAlternativeNameRef(),
                                        required_.count(name) > 0);
        if (const auto type = extras.columnTypes.find(name); type != extras.columnTypes.end())
            info.type = exactTypeCode(info, type->second);
        out.push_back(std::move(info));
    }
    return S_OK;
}

int FeatureClass::attributeIndex(const std::string& name) const
{
    OGRLayer* layer = this->layer();
    if (!layer) return -1;
    const OGRFeatureDefn& definition = *layer->GetLayerDefn();
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
    OGRLayer* layer = this->layer();
    if (!layer) return runtime::E_FAIL;
    return layer->TestCapability(capability) ? S_OK : runtime::E_NOTIMPL;
}

HResult FeatureClass::addField(const FieldInfo& info)
{
    std::unique_ptr<OGRFieldDefn> field;
    HResult hr = ogrFieldFor(info, field);
    if (runtime::failed(hr) || runtime::failed(hr = schemaChangeAllowed(OLCCreateField))) return hr;
    if (const pg::Table* table = source_->table(layerName_)) return changeDatabase([&] {
        const auto type = databaseType(info.type);
        return pg::addColumn(source_->dataset(), *table, *field, type ? std::optional(type->name) : std::nullopt);
    });

    OGRLayer& layer = *this->layer();
    Transaction transaction(source_->dataset(), false);
    if (runtime::failed(hr = transaction.started())) return hr;
    if (runtime::failed(hr = statusOf(layer.CreateField(field.get(), FALSE)))) return hr;
    if (source_->isGeoPackage() && !info.alias.empty())
        hr = writeGpkgAlias(source_->dataset(), layerName_, field->GetNameRef(), toUtf8(info.alias));
    return runtime::failed(hr) ? hr : transaction.commit();
}

HResult FeatureClass::deleteField(const std::string& name)
{
    const int index = attributeIndex(name);
    if (index < 0 || required_.count(name)) return runtime::E_INVALIDARG;
    HResult hr = schemaChangeAllowed(OLCDeleteField);
    if (runtime::failed(hr)) return hr;
    if (const pg::Table* table = source_->table(layerName_)) return changeDatabase([&] {
        return pg::dropColumn(source_->dataset(), *table, name);
    });

    OGRLayer& layer = *this->layer();
    Transaction transaction(source_->dataset(), false);
    if (runtime::failed(hr = transaction.started())) return hr;
    if (runtime::failed(hr = statusOf(layer.DeleteField(index)))) return hr;
    if (source_->isGeoPackage()) hr = forgetGpkgColumn(source_->dataset(), layerName_, name);
    return runtime::failed(hr) ? hr : transaction.commit();
}

// GDAL's layers do not follow a schema changed by our own SQL: the database
// is opened afresh after the change (which stands even when that fails).
template <class Change>
HResult FeatureClass::changeDatabase(Change change)
{
    HResult hr = source_->ensureConnected();
    if (runtime::succeeded(hr)) hr = change();
    if (runtime::succeeded(hr))
        source_->reopen();
    else
        source_->reconnectIfLost();
    return hr;
}

} // namespace gishost
