#pragma once

// A GeoPackage whose columns are described in gpkg_data_columns, as other
// GIS software writes them, and the reading of any SQLite file with SQLite
// alone.

#include <optional>
#include <string>
#include <vector>

struct sqlite3;

namespace gistest {

// How gpkg_data_columns is defined: the GeoPackage standard's way (an alias
// once per table), older ways (once per file; as often as wanted), or not at
// all.
enum class DataColumns { Standard, AliasOncePerFile, AliasRepeatable, None };

// Writes "described.gpkg" into `folder` and gives its path. Table "counties"
// (polygons): name, code, population, photo (a blob), note, doc; table "towns"
// (points): mayor. Unless `definition` is None, gpkg_data_columns describes
// counties' name (alias "County name", title, description), code (alias,
// description, and the constraint "county_code", a range in
// gpkg_data_column_constraints), photo (alias, title, MIME type), doc (JSON
// text: alias, description, MIME type) and towns' mayor (alias).
std::string writeDescribedGeoPackage(const std::string& folder, DataColumns definition);

// The rows a query gives, read with SQLite alone; NULL is nullopt.
using SqlRow = std::vector<std::optional<std::string>>;
std::vector<SqlRow> sqliteRows(const std::string& path, const std::string& sql);

// A connection of its own to an SQLite file, as another program holds one;
// a statement that fails throws.
class SqliteFile {
public:
    explicit SqliteFile(const std::string& path);
    ~SqliteFile();
    SqliteFile(const SqliteFile&) = delete;
    SqliteFile& operator=(const SqliteFile&) = delete;
    void run(const std::string& sql);
    std::vector<SqlRow> rows(const std::string& sql);

private:
    sqlite3* db_ = nullptr;
};

// gpkg_data_columns (empty when the file has none), ordered by table and column.
std::vector<SqlRow> dataColumns(const std::string& path);

} // namespace gistest
