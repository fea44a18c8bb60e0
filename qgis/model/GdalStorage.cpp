#include "qgis/model/GdalStorage.h"

#include "qgis/model/Reasons.h"
#include "engine/core/Format.h"
#include "engine/postgres/PostgresSql.h"

#include <qgsdatasourceuri.h>
#include <qgsogrutils.h>
#include <qgsproviderregistry.h>
#include <qgsvectorlayer.h>

#include <cpl_conv.h>

#include <algorithm>
#include <optional>

namespace qgishost {

namespace {

// Where GDAL finds a layer's table: a dataset and a layer of it, by name or
// by index; neither for a dataset of one layer. A database's table is
// named by its schema and name.
struct GdalSource {
    QString path;
    QString layerName;
    int layerIndex = -1;
    std::optional<engine::pg::Table> databaseTable;
};

std::optional<GdalSource> gdalSourceOf(const QgsVectorLayer& layer)
{
    const QString provider = layer.providerType();
    if (provider == QLatin1String("ogr")) {
        const QVariantMap parts = QgsProviderRegistry::instance()->decodeUri(provider, layer.source());
        GdalSource source;
        source.path = parts.value(QStringLiteral("path")).toString();
        source.layerName = parts.value(QStringLiteral("layerName")).toString();
        if (parts.contains(QStringLiteral("layerId"))) source.layerIndex = parts.value(QStringLiteral("layerId")).toInt();
        return source;
    }
    if (provider == QLatin1String("spatialite")) {
        const QgsDataSourceUri uri(layer.source());
        GdalSource source;
        source.path = uri.database();
        source.layerName = uri.table();
        return source;
    }
    if (provider == QLatin1String("postgres")) {
        // libpq looks for a password the source leaves out where every
        // client does (PGPASSWORD, ~/.pgpass); a QGIS authentication
        // configuration gives its own.
        const QgsDataSourceUri uri(layer.source());
        GdalSource source;
        source.path = "PG:" + uri.connectionInfo(true);
        source.databaseTable = engine::pg::Table{uri.schema().toStdString(), uri.table().toStdString()};
        return source;
    }
    return std::nullopt;
}

// QGIS reads a shapefile's names and values in the encoding its .cpg or
// code page mark names, and turns GDAL's own recoding off for the whole
// process. The engine reads the encoding through GDAL: while it works on
// the layer, GDAL is told on this thread the encoding QGIS reads.
class ShapefileEncoding {
public:
    explicit ShapefileEncoding(const QString& encoding)
    {
        if (!encoding.isEmpty()) set_.emplace("SHAPE_ENCODING", encoding.toUtf8().constData(), false);
    }

private:
    std::optional<CPLConfigOptionSetter> set_;
};

// The engine's name of the layer's table; empty when there is none.
std::string tableOf(engine::Dataset& dataset, const GdalSource& source)
{
    const std::vector<std::string>& tables = dataset.tableNames();
    if (const auto& wanted = source.databaseTable) {
        // Without a schema the name is the current schema's table, which
        // GDAL names bare.
        if (wanted->schema.empty()) return wanted->name;
        std::vector<engine::pg::TableLayer> readable;
        if (const engine::GdalHandle gdal = dataset.reading()) engine::pg::readableTables(*gdal, readable);
        for (const engine::pg::TableLayer& t : readable)
            if (t.table.name == wanted->name && t.table.schema == wanted->schema) return t.layerName;
        return {};
    }
    if (!source.layerName.isEmpty()) return source.layerName.toStdString();
    if (source.layerIndex >= 0 && static_cast<std::size_t>(source.layerIndex) < tables.size())
        return tables[static_cast<std::size_t>(source.layerIndex)];
    return tables.size() == 1 ? tables.front() : std::string();
}

bool holds(const engine::Dataset& dataset, const std::string& table)
{
    const auto& tables = dataset.tableNames();
    return std::find(tables.begin(), tables.end(), table) != tables.end();
}

} // namespace

void OpenDatasets::forgetUnread()
{
    for (auto entry = entries_.begin(); entry != entries_.end();) {
        auto& readers = entry->second.readers;
        std::erase_if(readers, [](const auto& reader) { return !reader.first || reader.first->source() != reader.second; });
        entry = readers.empty() ? entries_.erase(entry) : std::next(entry);
    }
}

std::shared_ptr<engine::Dataset> OpenDatasets::open(QgsVectorLayer& layer, const std::string& path, bool anew,
                                                    std::string& problem)
{
    forgetUnread();
    if (anew) entries_.erase(path);
    if (const auto known = entries_.find(path); known != entries_.end()) {
        auto& readers = known->second.readers;
        if (std::none_of(readers.begin(), readers.end(), [&](const auto& r) { return r.first == &layer; }))
            readers.emplace_back(&layer, layer.source());
        return known->second.dataset;
    }
    auto dataset = engine::Dataset::open(path, problem);
    if (dataset) entries_[path] = Entry{dataset, {{&layer, layer.source()}}};
    return dataset;
}

std::unique_ptr<GdalStorage> GdalStorage::open(QgsVectorLayer& layer, OpenDatasets& datasets, QString& whyNot)
{
    const auto where = gdalSourceOf(layer);
    if (!where || where->path.isEmpty()) return nullptr;
    // A database layer changes through the engine or not at all: QGIS's own
    // provider would wait for another session's lock without a bound.
    const bool mustUseEngine = where->databaseTable.has_value();
    const QString encoding =
        layer.providerType() == QLatin1String("ogr") ? QgsOgrUtils::readShapefileEncoding(where->path) : QString();
    const ShapefileEncoding reading(encoding);
    const std::string path = where->path.toStdString();
    // A dataset knows the tables it had when it was opened: for a table made
    // since, it is opened anew.
    const bool wasOpen = datasets.isOpen(path);
    std::string problem;
    auto dataset = datasets.open(layer, path, false, problem);
    std::string table = dataset ? tableOf(*dataset, *where) : std::string();
    if (dataset && wasOpen && !holds(*dataset, table)) {
        dataset = datasets.open(layer, path, true, problem);
        table = dataset ? tableOf(*dataset, *where) : std::string();
    }
    if (!dataset) {
        if (mustUseEngine) whyNot = QString::fromStdString(problem);
        return nullptr;
    }
    if (!holds(*dataset, table)) {
        if (mustUseEngine) whyNot = reason::noDatabaseTable(layer.name());
        return nullptr;
    }
    return std::unique_ptr<GdalStorage>(new GdalStorage(layer, engine::Table(std::move(dataset), table), encoding));
}

GdalStorage::GdalStorage(QgsVectorLayer& layer, engine::Table table, QString encoding)
    : layer_(&layer), table_(std::move(table)), encoding_(std::move(encoding))
{
}

HResult GdalStorage::fields(std::vector<hostkit::FieldInfo>& out)
{
    const ShapefileEncoding reading(encoding_);
    hostkit::FieldList list;
    const HResult hr = table_.fields(list);
    if (runtime::succeeded(hr)) out = *list;
    return hr;
}

HResult GdalStorage::addField(const hostkit::FieldInfo& field)
{
    const ShapefileEncoding writing(encoding_);
    return table_.addField(field);
}

HResult GdalStorage::deleteField(const QString& name)
{
    const ShapefileEncoding writing(encoding_);
    return table_.deleteField(name.toStdString());
}

HResult GdalStorage::copyColumn(const QString& source, const QString& target)
{
    const ShapefileEncoding writing(encoding_);
    return table_.copyColumn(source.toStdString(), target.toStdString());
}

HResult GdalStorage::canMake(Change, QString& why) const
{
    const engine::Dataset& dataset = table().dataset();
    if (!dataset.readOnly() || !layer_) return S_OK;
    why = dataset.format().writable(dataset.path()) ? reason::readOnlyFormat(layer_->name())
                                                    : reason::readOnlyFiles(layer_->name());
    return runtime::E_ACCESSDENIED;
}

void GdalStorage::refresh()
{
    if (!layer_) return;
    // QGIS's provider keeps its own handle on the data: it must read the
    // table's definition again. The PostgreSQL provider reads it only when
    // it is made, so the layer gets a new one (edit state, style and
    // aliases stay the layer's).
    if (layer_->providerType() == QLatin1String("postgres"))
        layer_->setDataSource(layer_->source(), layer_->name(), layer_->providerType(),
                              QgsDataProvider::ProviderOptions{layer_->transformContext()});
    else
        layer_->reload();
    layer_->triggerRepaint();
}

} // namespace qgishost
