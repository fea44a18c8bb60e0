#include "engine/sqlite/GpkgAliases.h"

#include "engine/core/OgrStatus.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

namespace engine {

namespace {

runtime::HResult hasDataColumnsTable(GDALDataset& dataset, bool& present)
{
    present = false;
    return querySql(dataset,
                    "SELECT name FROM sqlite_master WHERE type = 'table' AND name = 'gpkg_data_columns'",
                    [&](OGRFeature&) { present = true; });
}

// The schema extension's two tables and their entries in gpkg_extensions.
const char* const schemaExtension[] = {
    "CREATE TABLE IF NOT EXISTS gpkg_extensions (table_name TEXT, column_name TEXT, extension_name TEXT NOT NULL, "
    "definition TEXT NOT NULL, scope TEXT NOT NULL, CONSTRAINT ge_tce UNIQUE (table_name, column_name, "
    "extension_name))",
    "CREATE TABLE IF NOT EXISTS gpkg_data_columns (table_name TEXT NOT NULL, column_name TEXT NOT NULL, name TEXT, "
    "title TEXT, description TEXT, mime_type TEXT, constraint_name TEXT, CONSTRAINT pk_gdc PRIMARY KEY "
    "(table_name, column_name), CONSTRAINT gdc_tn UNIQUE (table_name, name), CONSTRAINT fk_gdc_tn FOREIGN KEY "
    "(table_name) REFERENCES gpkg_contents(table_name))",
    "CREATE TABLE IF NOT EXISTS gpkg_data_column_constraints (constraint_name TEXT NOT NULL, constraint_type TEXT "
    "NOT NULL, value TEXT, min NUMERIC, min_is_inclusive BOOLEAN, max NUMERIC, max_is_inclusive BOOLEAN, "
    "description TEXT, CONSTRAINT gdcc_ntv UNIQUE (constraint_name, constraint_type, value))",
    "INSERT INTO gpkg_extensions (table_name, column_name, extension_name, definition, scope) SELECT t, NULL, "
    "'gpkg_schema', 'http://www.geopackage.org/spec121/#extension_schema', 'read-write' FROM (SELECT "
    "'gpkg_data_columns' AS t UNION ALL SELECT 'gpkg_data_column_constraints') WHERE NOT EXISTS (SELECT 1 FROM "
    "gpkg_extensions WHERE table_name = t AND extension_name = 'gpkg_schema')",
};

// Whether a unique index refuses an alias a second time: one over the alias
// and the table (the GeoPackage standard's), or over the alias alone (older
// files).
runtime::HResult keepsAliasOnce(GDALDataset& dataset, bool& once)
{
    once = false;
    return querySql(dataset,
                    "SELECT 1 FROM pragma_index_list('gpkg_data_columns') AS list WHERE list.\"unique\" AND NOT EXISTS "
                    "(SELECT 1 FROM pragma_index_info(list.name) AS info WHERE info.name IS NOT 'table_name' AND "
                    "info.name IS NOT 'name')",
                    [&](OGRFeature&) { once = true; });
}

std::string rowOf(const std::string& table, const std::string& column)
{
    return "table_name = " + quoteLiteral(table) + " AND column_name = " + quoteLiteral(column);
}

// Takes the alias away from another column of the table that holds it.
runtime::HResult freeAlias(GDALDataset& dataset, const std::string& table, const std::string& column,
                           const std::string& alias, std::string& holder)
{
    holder.clear();
    runtime::HResult hr = querySql(
        dataset,
        "SELECT column_name FROM gpkg_data_columns WHERE table_name = " + quoteLiteral(table) +
            " AND name = " + quoteLiteral(alias) + " AND column_name <> " + quoteLiteral(column),
        [&](OGRFeature& row) { holder = row.GetFieldAsString(0); });
    if (runtime::failed(hr) || holder.empty()) return hr;
    return executeSql(dataset, "UPDATE gpkg_data_columns SET name = NULL WHERE " + rowOf(table, holder));
}

} // namespace

runtime::HResult readGpkgAliases(GDALDataset& dataset, const std::string& table,
                                 std::map<std::string, std::string>& aliases)
{
    aliases.clear();
    bool present = false;
    runtime::HResult hr = hasDataColumnsTable(dataset, present);
    if (runtime::failed(hr) || !present) return hr;
    return querySql(dataset,
                    "SELECT column_name, name FROM gpkg_data_columns WHERE table_name = " + quoteLiteral(table) +
                        " AND name IS NOT NULL",
                    [&](OGRFeature& row) { aliases[row.GetFieldAsString(0)] = row.GetFieldAsString(1); });
}

runtime::HResult createGpkgDataColumns(GDALDataset& dataset)
{
    for (const char* statement : schemaExtension)
        if (const runtime::HResult hr = executeSql(dataset, statement); runtime::failed(hr)) return hr;
    return runtime::S_OK;
}

runtime::HResult writeGpkgAlias(GDALDataset& dataset, const std::string& table, const std::string& column,
                                const std::string& alias, std::string* movedFrom)
{
    if (movedFrom) movedFrom->clear();
    bool once = false;
    runtime::HResult hr = createGpkgDataColumns(dataset);
    if (runtime::failed(hr) || runtime::failed(hr = keepsAliasOnce(dataset, once))) return hr;
    if (once) {
        std::string holder;
        if (runtime::failed(hr = freeAlias(dataset, table, column, alias, holder))) return hr;
        if (movedFrom) *movedFrom = holder;
    }
    return executeSql(dataset, "INSERT INTO gpkg_data_columns (table_name, column_name, name) VALUES (" +
                                   quoteLiteral(table) + ", " + quoteLiteral(column) + ", " + quoteLiteral(alias) +
                                   ") ON CONFLICT (table_name, column_name) DO UPDATE SET name = excluded.name");
}

runtime::HResult returnGpkgAlias(GDALDataset& dataset, const std::string& table, const std::string& column,
                                 const std::string& alias)
{
    bool present = false;
    const runtime::HResult hr = hasDataColumnsTable(dataset, present);
    if (runtime::failed(hr) || !present) return hr;
    // Ignored where another column holds the alias by now.
    return executeSql(dataset, "UPDATE OR IGNORE gpkg_data_columns SET name = " + quoteLiteral(alias) + " WHERE " +
                                   rowOf(table, column) + " AND name IS NULL");
}

runtime::HResult carryGpkgDescription(GDALDataset& dataset, const std::string& table, const std::string& from,
                                      const std::string& to)
{
    bool present = false;
    runtime::HResult hr = hasDataColumnsTable(dataset, present);
    if (runtime::failed(hr) || !present) return hr;
    hr = executeSql(dataset, "INSERT INTO gpkg_data_columns (table_name, column_name) SELECT " + quoteLiteral(table) +
                                 ", " + quoteLiteral(to) + " WHERE EXISTS (SELECT 1 FROM gpkg_data_columns WHERE " +
                                 rowOf(table, from) +
                                 " AND coalesce(title, description, mime_type, constraint_name) IS NOT NULL) "
                                 "ON CONFLICT DO NOTHING");
    if (runtime::failed(hr)) return hr;
    // Each of the target's own values is either missing or the same.
    return executeSql(dataset, "UPDATE gpkg_data_columns SET title = o.t, description = o.d, mime_type = o.m, "
                               "constraint_name = o.c FROM (SELECT title AS t, description AS d, mime_type AS m, "
                               "constraint_name AS c FROM gpkg_data_columns WHERE " +
                                   rowOf(table, from) + ") AS o WHERE " + rowOf(table, to) +
                                   " AND coalesce(title, o.t) IS o.t AND coalesce(description, o.d) IS o.d AND "
                                   "coalesce(mime_type, o.m) IS o.m AND coalesce(constraint_name, o.c) IS o.c");
}

runtime::HResult forgetGpkgColumn(GDALDataset& dataset, const std::string& table, const std::string& column)
{
    bool present = false;
    const runtime::HResult hr = hasDataColumnsTable(dataset, present);
    if (runtime::failed(hr) || !present) return hr;
    return executeSql(dataset, "DELETE FROM gpkg_data_columns WHERE " + rowOf(table, column));
}

} // namespace engine
