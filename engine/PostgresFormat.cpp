// PostgreSQL/PostGIS databases: every table and view the role may read, the
// schema changes and the column copy in the database's own SQL (Postgres.h),
// other sessions' changes noticed in the catalog, a connection the server
// closed opened again, and no password in any text.

#include "engine/FieldTypes.h"
#include "engine/Format.h"
#include "engine/Log.h"
#include "engine/Postgres.h"
#include "engine/PostgresSession.h"
#include "engine/Reasons.h"
#include "engine/Schema.h"
#include "engine/Settings.h"
#include "engine/Table.h"

#include "host/ObjectModel.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <tuple>

namespace engine {

using runtime::HResult;

namespace {

// The code a field read from a column of this type gets: its OGR type's,
// unless that code would make a column of another type.
std::int32_t exactTypeCode(const OGRFieldDefn& field, const std::string& type)
{
    const std::int32_t code = typeCodeOf(field);
    const auto made = ogrTypeOf(code);
    if (!made) return code;
    OGRFieldDefn remade("", made->type);
    remade.SetSubType(made->subType);
    remade.SetWidth(field.GetWidth());
    remade.SetPrecision(field.GetPrecision());
    // Even text for character varying would change what the column is.
    if (pg::columnType(remade) == type) return code;
    // GDAL reads some types it does not know (interval, ranges) as integers;
    // their values and defaults are text.
    const bool integer = made->type == OFTInteger || made->type == OFTInteger64;
    return databaseTypeCode({type, integer ? host::fieldTypeString : code});
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

    std::string datasetName(GDALDataset& dataset, const std::string& path) const override
    {
        std::string name;
        return runtime::succeeded(pg::currentDatabase(dataset, name)) ? name : pg::hidePasswords(path, path);
    }
    std::string shownPath(const std::string&, const std::string& name) const override { return "database " + name; }

    // By name: schema, then table.
    std::vector<std::string> readableTables(GDALDataset& dataset) const override
    {
        std::vector<pg::TableLayer> readable;
        pg::readableTables(dataset, readable);
        std::vector<const pg::TableLayer*> layers;
        for (OGRLayer* layer : dataset.GetLayers()) {
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
    // a column type no code makes again keeps a code of its own.
    void completeFields(GDALDataset& dataset, const std::string& table, std::vector<Field>& fields) const override
    {
        const auto where = pg::tableOf(dataset, table);
        std::map<std::string, pg::ColumnFacts> columns;
        if (!where || runtime::failed(pg::readColumns(dataset, *where, columns))) return;
        for (Field& field : fields) {
            auto plain = std::make_shared<OGRFieldDefn>(field.definition.get());
            const auto literal = pg::ogrDefault(*plain);
            plain->SetDefault(literal ? literal->c_str() : nullptr);
            field.definition = plain;
            const auto column = columns.find(field.name());
            if (column == columns.end()) continue;
            if (column->second.comment) field.alias = *column->second.comment;
            if (const std::int32_t code = exactTypeCode(*plain, column->second.type); code != typeCodeOf(*plain))
                field.typeCode = code;
        }
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

const Format& postgresFormat()
{
    static const PostgresFormat format;
    return format;
}

} // namespace engine
