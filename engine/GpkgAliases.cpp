#include "engine/GpkgAliases.h"

#include "engine/OgrStatus.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

namespace engine {

namespace {

// Runs a query and hands each row to `visit`; fails on a GDAL error.
template <class Visit>
runtime::HResult query(GDALDataset& dataset, const std::string& sql, Visit visit)
{
    CPLErrorReset();
    OGRLayer* rows = dataset.ExecuteSQL(sql.c_str(), nullptr, nullptr);
    if (rows) {
        for (auto& row : *rows) visit(*row);
        dataset.ReleaseResultSet(rows);
    }
    return CPLGetLastErrorType() >= CE_Failure ? runtime::E_FAIL : runtime::S_OK;
}

runtime::HResult hasDataColumnsTable(GDALDataset& dataset, bool& present)
{
    present = false;
    return query(dataset,
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
    "(table_name, column_name), CONSTRAINT fk_gdc_tn FOREIGN KEY (table_name) REFERENCES gpkg_contents(table_name))",
    "CREATE TABLE IF NOT EXISTS gpkg_data_column_constraints (constraint_name TEXT NOT NULL, constraint_type TEXT "
    "NOT NULL, value TEXT, min NUMERIC, min_is_inclusive BOOLEAN, max NUMERIC, max_is_inclusive BOOLEAN, "
    "description TEXT, CONSTRAINT gdcc_ntv UNIQUE (constraint_name, constraint_type, value))",
    "INSERT INTO gpkg_extensions (table_name, column_name, extension_name, definition, scope) SELECT t, NULL, "
    "'gpkg_schema', 'http://www.geopackage.org/spec121/#extension_schema', 'read-write' FROM (SELECT "
    "'gpkg_data_columns' AS t UNION ALL SELECT 'gpkg_data_column_constraints') WHERE NOT EXISTS (SELECT 1 FROM "
    "gpkg_extensions WHERE table_name = t AND extension_name = 'gpkg_schema')",
};

} // namespace

runtime::HResult readGpkgAliases(GDALDataset& dataset, const std::string& table,
                                 std::map<std::string, std::string>& aliases)
{
    aliases.clear();
    bool present = false;
    runtime::HResult hr = hasDataColumnsTable(dataset, present);
    if (runtime::failed(hr) || !present) return hr;
    return query(dataset,
                 "SELECT column_name, name FROM gpkg_data_columns WHERE table_name = " + quoteLiteral(table) +
                     " AND name IS NOT NULL",
                 [&](OGRFeature& row) { aliases[row.GetFieldAsString(0)] = row.GetFieldAsString(1); });
}

runtime::HResult writeGpkgAlias(GDALDataset& dataset, const std::string& table, const std::string& column,
                                const std::string& alias)
{
    for (const char* statement : schemaExtension)
        if (const runtime::HResult hr = executeSql(dataset, statement); runtime::failed(hr)) return hr;
    return executeSql(dataset, "INSERT INTO gpkg_data_columns (table_name, column_name, name) VALUES (" +
                                   quoteLiteral(table) + ", " + quoteLiteral(column) + ", " + quoteLiteral(alias) +
                                   ") ON CONFLICT (table_name, column_name) DO UPDATE SET name = excluded.name");
}

runtime::HResult forgetGpkgColumn(GDALDataset& dataset, const std::string& table, const std::string& column)
{
    bool present = false;
    const runtime::HResult hr = hasDataColumnsTable(dataset, present);
    if (runtime::failed(hr) || !present) return hr;
    return executeSql(dataset, "DELETE FROM gpkg_data_columns WHERE table_name = " + quoteLiteral(table) +
                                   " AND column_name = " + quoteLiteral(column));
}

} // namespace engine
