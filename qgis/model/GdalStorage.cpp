#include "qgis/model/GdalStorage.h"

#include "qgis/model/Reasons.h"
#include "engine/Format.h"
#include "hostkit/FieldDefinition.h"

#include <qgsdatasourceuri.h>
#include <qgsproviderregistry.h>
#include <qgsvectorlayer.h>

#include <algorithm>
#include <optional>

namespace qgishost {

namespace {

// Where GDAL finds a layer's table: a dataset and a layer of it, by name or
// by index; neither for a dataset of one layer.
struct GdalSource {
    QString path;
    QString layerName;
    int layerIndex = -1;
};

std::optional<GdalSource> gdalSourceOf(const QgsVectorLayer& layer)
{
    const QString provider = layer.providerType();
    if (provider == QLatin1String("ogr")) {
        const QVariantMap parts = QgsProviderRegistry::instance()->decodeUri(provider, layer.source());
        GdalSource source{parts.value(QStringLiteral("path")).toString(),
                          parts.value(QStringLiteral("layerName")).toString()};
        if (parts.contains(QStringLiteral("layerId"))) source.layerIndex = parts.value(QStringLiteral("layerId")).toInt();
        return source;
    }
    if (provider == QLatin1String("spatialite")) {
        const QgsDataSourceUri uri(layer.source());
        return GdalSource{uri.database(), uri.table()};
    }
    return std::nullopt;
}

// The engine's name of the layer's table.
std::string tableOf(const engine::Dataset& dataset, const GdalSource& source)
{
    const std::vector<std::string>& tables = dataset.tableNames();
    if (!source.layerName.isEmpty()) return source.layerName.toStdString();
    if (source.layerIndex >= 0 && static_cast<std::size_t>(source.layerIndex) < tables.size())
        return tables[static_cast<std::size_t>(source.layerIndex)];
    return tables.size() == 1 ? tables.front() : std::string();
}

} // namespace

std::unique_ptr<GdalStorage> GdalStorage::open(QgsVectorLayer& layer)
{
    const auto where = gdalSourceOf(layer);
    if (!where || where->path.isEmpty()) return nullptr;
    std::string problem;
    auto dataset = engine::Dataset::open(where->path.toStdString(), problem);
    if (!dataset) return nullptr;
    const std::string table = tableOf(*dataset, *where);
    const auto& tables = dataset->tableNames();
    if (std::find(tables.begin(), tables.end(), table) == tables.end()) return nullptr;
    auto featureClass = runtime::make<gishost::FeatureClass>(engine::Table(std::move(dataset), table));
    return std::unique_ptr<GdalStorage>(new GdalStorage(layer, std::move(featureClass)));
}

GdalStorage::GdalStorage(QgsVectorLayer& layer, runtime::ComPtr<gishost::FeatureClass> table)
    : layer_(&layer), table_(std::move(table))
{
}

HResult GdalStorage::fields(std::vector<hostkit::FieldInfo>& out)
{
    gishost::FeatureClass::FieldList list;
    const HResult hr = table_->fields(list);
    if (runtime::succeeded(hr)) out = *list;
    return hr;
}

HResult GdalStorage::addField(const hostkit::FieldInfo& field)
{
    return table_->AddField(runtime::make<hostkit::FieldDefinition>(field).get());
}

HResult GdalStorage::deleteField(const QString& name) { return table().deleteField(name.toStdString()); }

HResult GdalStorage::copyColumn(const QString& source, const QString& target)
{
    return table().copyColumn(source.toStdString(), target.toStdString());
}

QString GdalStorage::whyReadOnly() const
{
    const engine::Dataset& dataset = table().dataset();
    if (!dataset.readOnly() || !layer_) return {};
    return dataset.format().writable(dataset.path()) ? reason::readOnlyFormat(layer_->name())
                                                     : reason::readOnlyFiles(layer_->name());
}

void GdalStorage::refresh()
{
    if (!layer_) return;
    // QGIS's provider keeps its own handle on the data: it must read the
    // table's definition again.
    layer_->reload();
    layer_->triggerRepaint();
}

} // namespace qgishost
