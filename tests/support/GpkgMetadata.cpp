#include "GpkgMetadata.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <stdexcept>

namespace gistest {

SqliteFile::SqliteFile(const std::string& path)
{
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open " + path + " with SQLite");
}

SqliteFile::~SqliteFile() { sqlite3_close(db_); }

void SqliteFile::run(const std::string& sql)
{
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
}

namespace {

void check(bool ok, const std::string& what)
{
    if (!ok) throw std::runtime_error("writing the described GeoPackage: " + what);
}

// A county: a square, every fifth with a lake (a hole), every seventh with
// an island (a second part).
OGRMultiPolygon countyShape(int i)
{
    const double x = i % 8 * 10.0, y = i / 8 * 10.0, side = 4.0 + i % 5;
    const auto ring = [](double x0, double y0, double size) {
        OGRLinearRing r;
        r.addPoint(x0, y0);
        r.addPoint(x0 + size, y0);
        r.addPoint(x0 + size, y0 + size);
        r.addPoint(x0, y0 + size);
        r.closeRings();
        return r;
    };
    OGRPolygon land;
    OGRLinearRing outer = ring(x, y, side), lake = ring(x + 1, y + 1, 1.5), coast = ring(x + side + 0.5, y, 0.75);
    land.addRing(&outer);
    if (i % 5 == 0) land.addRing(&lake);
    OGRMultiPolygon shape;
    shape.addGeometry(&land);
    if (i % 7 == 0) {
        OGRPolygon island;
        island.addRing(&coast);
        shape.addGeometry(&island);
    }
    return shape;
}

void writeCounties(GDALDataset& dataset)
{
    OGRLayer* layer = dataset.CreateLayer("counties", nullptr, wkbMultiPolygon, nullptr);
    check(layer, "counties");
    OGRFieldDefn name("name", OFTString), code("code", OFTInteger), population("population", OFTInteger64),
        photo("photo", OFTBinary), note("note", OFTString), doc("doc", OFTString);
    name.SetWidth(40);
    // JSON text, which only its MIME type in gpkg_data_columns says (GDAL
    // would describe it in a table of its own definition).
    for (OGRFieldDefn* field : {&name, &code, &population, &photo, &note, &doc})
        check(layer->CreateField(field) == OGRERR_NONE, field->GetNameRef());
    const char* const names[] = {"Aargau", "Bern", "Gen\xC3\xA8ve", "Graub\xC3\xBCnden", "Z\xC3\xBCrich", "Ticino"};
    dataset.StartTransaction();
    for (int i = 0; i < 60; ++i) {
        OGRFeature feature(layer->GetLayerDefn());
        if (i % 9 != 4) feature.SetField(0, (std::string(names[i % 6]) + " " + std::to_string(i)).c_str());
        feature.SetField(1, 1 + i * 13 % 999);
        if (i % 6 != 5) feature.SetField(2, static_cast<GIntBig>(i) * 123457 + 5000000000LL);
        if (i % 4 == 0) {
            const unsigned char png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', static_cast<unsigned char>(i)};
            feature.SetField(3, static_cast<int>(sizeof png), png);
        }
        if (i % 3 == 0) feature.SetField(4, i % 2 ? "" : "surveyed 'twice'");
        if (i % 2 == 0) feature.SetField(5, ("{\"fid\": " + std::to_string(i) + ", \"checked\": [1, \"x\"]}").c_str());
        OGRMultiPolygon shape = countyShape(i);
        feature.SetGeometry(&shape);
        check(layer->CreateFeature(&feature) == OGRERR_NONE, "a county");
    }
    dataset.CommitTransaction();
}

void writeTowns(GDALDataset& dataset)
{
    OGRLayer* layer = dataset.CreateLayer("towns", nullptr, wkbPoint, nullptr);
    check(layer, "towns");
    OGRFieldDefn mayor("mayor", OFTString);
    check(layer->CreateField(&mayor) == OGRERR_NONE, "mayor");
    OGRFeature feature(layer->GetLayerDefn());
    feature.SetField(0, "A. Muster");
    OGRPoint point(3, 4);
    feature.SetGeometry(&point);
    check(layer->CreateFeature(&feature) == OGRERR_NONE, "a town");
}

std::string dataColumnsTable(DataColumns definition)
{
    const std::string columns = "table_name TEXT NOT NULL, column_name TEXT NOT NULL, name TEXT";
    const std::string rest = ", title TEXT, description TEXT, mime_type TEXT, constraint_name TEXT, "
                             "CONSTRAINT pk_gdc PRIMARY KEY (table_name, column_name), ";
    const std::string foreignKey = "CONSTRAINT fk_gdc_tn FOREIGN KEY (table_name) REFERENCES gpkg_contents(table_name)";
    switch (definition) {
    case DataColumns::Standard:
        return "CREATE TABLE gpkg_data_columns (" + columns + rest + "CONSTRAINT gdc_tn UNIQUE (table_name, name), " +
               foreignKey + ")";
    case DataColumns::AliasOncePerFile:
        return "CREATE TABLE gpkg_data_columns (" + columns + " UNIQUE" + rest + foreignKey + ")";
    case DataColumns::AliasRepeatable:
        return "CREATE TABLE gpkg_data_columns (" + columns + rest + foreignKey + ")";
    case DataColumns::None:
        break;
    }
    return {};
}

void describeColumns(const std::string& path, DataColumns definition)
{
    SqliteFile file(path);
    file.run(dataColumnsTable(definition));
    file.run("CREATE TABLE gpkg_data_column_constraints (constraint_name TEXT NOT NULL, constraint_type TEXT NOT "
             "NULL, value TEXT, min NUMERIC, min_is_inclusive BOOLEAN, max NUMERIC, max_is_inclusive BOOLEAN, "
             "description TEXT, CONSTRAINT gdcc_ntv UNIQUE (constraint_name, constraint_type, value))");
    file.run("CREATE TABLE IF NOT EXISTS gpkg_extensions (table_name TEXT, column_name TEXT, extension_name TEXT "
             "NOT NULL, definition TEXT NOT NULL, scope TEXT NOT NULL, CONSTRAINT ge_tce UNIQUE (table_name, "
             "column_name, extension_name))");
    file.run("INSERT INTO gpkg_extensions VALUES ('gpkg_data_columns', NULL, 'gpkg_schema', "
             "'http://www.geopackage.org/spec121/#extension_schema', 'read-write'), ('gpkg_data_column_constraints', "
             "NULL, 'gpkg_schema', 'http://www.geopackage.org/spec121/#extension_schema', 'read-write')");
    file.run("INSERT INTO gpkg_data_column_constraints VALUES ('county_code', 'range', NULL, 1, 1, 999, 1, "
             "'Codes of the statistics office')");
    file.run("INSERT INTO gpkg_data_columns VALUES "
             "('counties', 'name', 'County name', 'Name of the county', 'Official name, as registered', NULL, NULL), "
             "('counties', 'code', 'Code', NULL, 'Statistics code', NULL, 'county_code'), "
             "('counties', 'photo', 'Photo', 'Aerial photo', NULL, 'image/png', NULL), "
             "('counties', 'doc', 'Record', NULL, 'The survey''s record', 'application/json', NULL), "
             "('towns', 'mayor', 'Mayor', NULL, NULL, NULL, NULL)");
}

} // namespace

std::string writeDescribedGeoPackage(const std::string& folder, DataColumns definition)
{
    const std::string path = (std::filesystem::path(folder) / "described.gpkg").string();
    {
        GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
        GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
        check(dataset != nullptr, path);
        writeCounties(*dataset);
        writeTowns(*dataset);
    }
    if (definition != DataColumns::None) describeColumns(path, definition);
    return path;
}

std::vector<SqlRow> sqliteRows(const std::string& path, const std::string& sql) { return SqliteFile(path).rows(sql); }

std::vector<SqlRow> SqliteFile::rows(const std::string& sql)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db_, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> owned(statement, sqlite3_finalize);
    std::vector<SqlRow> rows;
    int step = SQLITE_ROW;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        SqlRow& row = rows.emplace_back();
        for (int i = 0; i < sqlite3_column_count(statement); ++i) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, i));
            row.push_back(text ? std::optional<std::string>(text) : std::nullopt);
        }
    }
    if (step != SQLITE_DONE) throw std::runtime_error(sql + ": " + sqlite3_errmsg(db_));
    return rows;
}

std::vector<SqlRow> dataColumns(const std::string& path)
{
    if (sqliteRows(path, "SELECT 1 FROM sqlite_master WHERE name = 'gpkg_data_columns'").empty()) return {};
    return sqliteRows(path, "SELECT table_name, column_name, name, title, description, mime_type, constraint_name "
                            "FROM gpkg_data_columns ORDER BY table_name, column_name");
}

} // namespace gistest
