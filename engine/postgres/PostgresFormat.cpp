// PostgreSQL/PostGIS databases: every table and view the role may read, the
// schema changes and the column copy in the database's own SQL (PostgresSql.h),
// other sessions' changes noticed in the catalog, a connection the server
// closed opened again, and no password in any text.

#include "engine/postgres/PostgresFormat.h"

#include "engine/core/FieldTypes.h"
#include "engine/core/Format.h"
#include "engine/core/LockWait.h"
#include "engine/core/Log.h"
#include "engine/postgres/PostgresSql.h"
#include "engine/postgres/PostgresSession.h"
#include "engine/core/Reasons.h"
#include "engine/core/Schema.h"
#include "engine/core/Settings.h"
#include "engine/core/Table.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <tuple>

namespace engine {

using runtime::HResult;

namespace {

// A column's type where the field GDAL read would make a column of another
// type; none where it would make this one.
std::optional<Field::DatabaseType> exactType(const OGRFieldDefn& field, const std::string& type)
{
    const OgrFieldType named = ogrTypeOf(field);
    OGRFieldDefn remade("", named.type);
    remade.SetSubType(named.subType);
    remade.SetWidth(field.GetWidth());
    remade.SetPrecision(field.GetPrecision());
    // Even text for character varying would change what the column is.
    if (pg::columnType(remade) == type) return std::nullopt;
    return Field::DatabaseType{type, named.type == OFTInteger || named.type == OFTInteger64};
}

// Columns besides the object id and the geometries.
bool hasAttributeColumns(const std::map<std::string, pg::ColumnFacts>& columns, const Schema& schema)
{
    for (const auto& [name, facts] : columns) {
        const bool geometry = std::any_of(schema.geometries.begin(), schema.geometries.end(),
                                          [&](const GeometryColumn& g) { return g.name == name; });
        if (name != schema.fidColumn && !geometry) return true;
    }
    return false;
}

class PostgresFormat final : public Format {
public:
    std::vector<std::string> watchedFiles(const std::string&) const override { return {}; }
    bool writable(const std::string&) const override { return true; }
    bool transactional() const noexcept override { return true; }

    // A "PG:" string would also be tried as a PostGIS raster.
    unsigned openFlags(bool update) const override
    {
        return GDAL_OF_VECTOR | (update ? GDAL_OF_UPDATE : GDAL_OF_READONLY);
    }
    // Tables without a geometry column too; GDAL's own statements (reading
    // a table's definition takes a lock on it) wait at most the lock bound.
    std::vector<std::string> openOptions() const override
    {
        const long long bound = std::max<long long>(1, lockTimeout().count());
        return {"LIST_ALL_TABLES=YES", "PRELUDE_STATEMENTS=SET lock_timeout = " + std::to_string(bound)};
    }

    std::string whyNotOpened(const std::string& path) const override
    {
        return pg::hidePasswords(path + ": the database could not be opened. (" + pg::oneLine(CPLGetLastErrorMsg()) + ")",
                                 path);
    }

    std::string datasetName(GDALDataset* gdal, const std::string& path) const override
    {
        std::string name;
        return gdal && runtime::succeeded(pg::currentDatabase(*gdal, name)) ? name : pg::hidePasswords(path, path);
    }
    std::string shownPath(const std::string&, const std::string& name) const override { return "database " + name; }

    // By name: schema, then table.
    std::vector<std::string> tableNames(const std::string&, GDALDataset* gdal) const override
    {
        if (!gdal) return {};
        std::vector<pg::TableLayer> readable;
        pg::readableTables(*gdal, readable);
        std::vector<const pg::TableLayer*> layers;
        for (OGRLayer* layer : gdal->GetLayers()) {
            const std::string name = layer->GetName();
            const auto t = std::find_if(readable.begin(), readable.end(),
                                        [&](const pg::TableLayer& r) { return r.layerName == name; });
            if (t != readable.end()) layers.push_back(&*t);
        }
        std::sort(layers.begin(), layers.end(), [](const pg::TableLayer* a, const pg::TableLayer* b) {
            return std::tie(a->table.schema, a->table.name) < std::tie(b->table.schema, b->table.name);
        });
        std::vector<std::string> names;
        for (const pg::TableLayer* t : layers) names.push_back(t->layerName);
        return names;
    }

    // A connection the server closed reads as a change, so that it is
    // opened again.
    std::string version(GDALDataset& dataset) const override
    {
        const std::string version = pg::schemaVersion(dataset);
        return version.empty() ? "unreadable" : version;
    }

    // Aliases are the columns' comments; defaults lose the database's casts;
    // a column type GDAL's type would not make again is kept by name.
    bool completeFields(GDALDataset& dataset, const std::string& table, Schema& schema) const override
    {
        const auto where = pg::tableOf(dataset, table);
        std::map<std::string, pg::ColumnFacts> columns;
        if (!where || runtime::failed(pg::readColumns(dataset, *where, columns))) return true;
        // GDAL reads a table another session holds locked as one without
        // fields, and says nothing; the catalog, read without a lock, tells.
        if (schema.fields.empty() && hasAttributeColumns(columns, schema)) {
            LockWait::noteLockMet();
            return false;
        }
        for (Field& field : schema.fields) {
            auto plain = std::make_shared<OGRFieldDefn>(field.definition.get());
            const auto literal = pg::ogrDefault(*plain);
            plain->SetDefault(literal ? literal->c_str() : nullptr);
            field.definition = plain;
            const auto column = columns.find(field.name());
            if (column == columns.end()) continue;
            if (column->second.comment) field.alias = *column->second.comment;
            field.databaseType = exactType(*plain, column->second.type);
        }
        return true;
    }

    HResult addField(const Table& table, const OGRFieldDefn& field, const std::string& columnType) const override
    {
        return change(table, [&](GDALDataset& dataset, const pg::Table& where) {
            return pg::addColumn(dataset, where, field,
                                 columnType.empty() ? std::nullopt : std::optional<std::string>(columnType));
        });
    }

    HResult deleteField(const Table& table, const std::string& name) const override
    {
        return change(table, [&](GDALDataset& dataset, const pg::Table& where) {
            return pg::dropColumn(dataset, where, name);
        });
    }

    HResult copyColumn(const Table& table, const std::string& from, const std::string& to) const override
    {
        return change(table, [&](GDALDataset& dataset, const pg::Table& where) {
            return pg::copyColumn(dataset, where, from, to);
        });
    }

private:
    template <class Work>
    static HResult change(const Table& table, Work work)
    {
        HResult hr = pg::awaitTable(table.dataset().path(), table.name());
        if (runtime::failed(hr)) return hr;
        GDALDataset* dataset = nullptr;
        OGRLayer* layer = nullptr;
        hr = table.layerForUpdate(dataset, layer);
        if (runtime::failed(hr)) return hr;
        // An open read of GDAL's would keep the table in use; the other
        // tables' reads are left alone, as resetting one reads its definition,
        // which would wait for a lock another session holds on it.
        layer->ResetReading();
        const auto where = pg::tableOf(*dataset, table.name());
        if (!where) {
            explain(reason::failed(table.displayName(), "find the table in the database", ""));
            return runtime::E_FAIL;
        }
        return work(*dataset, *where);
    }
};

} // namespace

void registerPostgresFormat(FormatRegistry& formats)
{
    static const PostgresFormat format;
    // GDAL names a "PG:" connection string PostGIS raster first.
    formats.add("PostgreSQL", format);
    formats.add("PostGISRaster", format);
}

} // namespace engine
