#include "qgis/model/GdalStorage.h"

#include "qgis/model/Reasons.h"
#include "gishost/model/ColumnCopy.h"
#include "hostkit/FieldDefinition.h"

#include <qgsdatasourceuri.h>
#include <qgsproviderregistry.h>
#include <qgsvectorlayer.h>

#include <ogrsf_frmts.h>

#include <QFileInfo>

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

OGRLayer* findLayer(GDALDataset& dataset, const GdalSource& source)
{
    if (!source.layerName.isEmpty()) return dataset.GetLayerByName(source.layerName.toUtf8().constData());
    if (source.layerIndex >= 0) return dataset.GetLayer(source.layerIndex);
    return dataset.GetLayerCount() == 1 ? dataset.GetLayer(0) : nullptr;
}

// The permission bits, not whether this user may write: root may write
// anything, yet a file nobody may write to is meant to stay as it is.
bool anyWritePermission(const QString& path)
{
    return QFileInfo(path).permissions() & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther);
}

} // namespace

std::unique_ptr<GdalStorage> GdalStorage::open(QgsVectorLayer& layer)
{
    const auto where = gdalSourceOf(layer);
    if (!where || where->path.isEmpty()) return nullptr;
    std::string problem;
    auto source = gishost::DataSource::open(where->path.toStdString(), gishost::OpenMode::Update, problem);
    if (!source) return nullptr;
    OGRLayer* table = findLayer(source->dataset(), *where);
    if (!table) return nullptr;
    auto featureClass = runtime::make<gishost::FeatureClass>(source, *table);
    return std::unique_ptr<GdalStorage>(new GdalStorage(layer, std::move(source), std::move(featureClass)));
}

GdalStorage::GdalStorage(QgsVectorLayer& layer, std::shared_ptr<gishost::DataSource> source,
                         runtime::ComPtr<gishost::FeatureClass> table)
    : layer_(&layer), source_(std::move(source)), table_(std::move(table))
{
}

HResult GdalStorage::fields(std::vector<hostkit::FieldInfo>& out) { return table_->fields(out); }

HResult GdalStorage::addField(const hostkit::FieldInfo& field)
{
    return table_->AddField(runtime::make<hostkit::FieldDefinition>(field).get());
}

HResult GdalStorage::deleteField(const QString& name)
{
    hostkit::FieldInfo field;
    field.name = name.toStdU16String();
    return table_->DeleteField(runtime::make<hostkit::FieldDefinition>(field).get());
}

HResult GdalStorage::copyColumn(const QString& source, const QString& target)
{
    return gishost::copyColumn(*table_, source.toStdString(), target.toStdString());
}

QString GdalStorage::whyReadOnly() const
{
    if (!source_->readOnly() || !layer_) return {};
    const QString path = QString::fromStdString(source_->path());
    return anyWritePermission(path) ? reason::readOnlyFormat(layer_->name()) : reason::readOnlyFiles(layer_->name());
}

void GdalStorage::refresh()
{
    source_->dataset().FlushCache();
    if (!layer_) return;
    // QGIS's provider keeps its own handle on the data: it must read the
    // table's definition again.
    layer_->reload();
    layer_->triggerRepaint();
}

} // namespace qgishost
