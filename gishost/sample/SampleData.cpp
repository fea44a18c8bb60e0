#include "gishost/sample/SampleData.h"

#include "engine/sqlite/GpkgAliases.h"
#include "engine/core/Transaction.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <stdexcept>

namespace gishost::sample {

using namespace engine;

namespace fs = std::filesystem;

namespace {

struct SampleField {
    std::string name;
    OGRFieldType type;
    OGRFieldSubType subType;
    int width;
    int precision;
    const char* alias;
    const char* defaultValue;
    bool nullable;
};

struct SampleLayer {
    const char* name;
    OGRwkbGeometryType geometry;
    std::vector<SampleField> fields;
};

constexpr int rowCount = 6;
constexpr char geoPackageName[] = "quillet_sample.gpkg";
constexpr char shapefileName[] = "rivers.shp";
constexpr char fileGdbName[] = "quillet_sample.gdb";
constexpr char geoTiffName[] = "elevation.tif";

void check(bool ok, const std::string& what)
{
    if (!ok) throw std::runtime_error(what + ": " + CPLGetLastErrorMsg());
}

// Every third value or so is null where the field allows it.
bool isNullCell(int row, int column, const SampleField& field) { return field.nullable && (row + column) % 4 == 3; }

void setValue(OGRFeature& feature, int column, const SampleField& field, int row)
{
    switch (field.type) {
    case OFTInteger:
        feature.SetField(column, field.subType == OFSTInt16 ? row * 3 - 4 : row * 100003 + 17);
        break;
    case OFTReal:
        // Exact in single precision too, so a float column reads back unchanged.
        feature.SetField(column, row * 12.625 - 3.5);
        break;
    case OFTString:
        feature.SetField(column, (std::string("Zoë's place ") + std::to_string(row)).c_str());
        break;
    case OFTDate:
    case OFTDateTime:
        feature.SetField(column, 1990 + row * 5, 1 + row, 3 + row * 4, field.type == OFTDate ? 0 : 8 + row, 15, 30.f,
                         100);
        break;
    case OFTBinary: {
        const GByte bytes[] = {static_cast<GByte>(row), 0, 0xFF, 'q', 0x80};
        feature.SetField(column, static_cast<int>(sizeof bytes), bytes);
        break;
    }
    default:
        break;
    }
}

OGRGeometry* geometryFor(OGRwkbGeometryType type, int row)
{
    const double x = 5.0 + row * 0.75;
    const double y = 45.0 + row * 0.5;
    if (type == wkbPoint) return new OGRPoint(x, y);
    if (type == wkbLineString) {
        auto* line = new OGRLineString();
        line->addPoint(x, y);
        line->addPoint(x + 0.25, y + 0.125);
        line->addPoint(x + 0.5, y - 0.0625);
        return line;
    }
    auto* ring = new OGRLinearRing();
    for (const auto& [dx, dy] : {std::pair{0.0, 0.0}, {0.0, 0.25}, {0.25, 0.25}, {0.25, 0.0}, {0.0, 0.0}})
        ring->addPoint(x + dx, y + dy);
    auto* polygon = new OGRPolygon();
    polygon->addRingDirectly(ring);
    return polygon;
}

void writeLayer(GDALDataset& dataset, const SampleLayer& layerPlan, OGRSpatialReference& srs, char** options)
{
    OGRLayer* layer = dataset.CreateLayer(layerPlan.name, &srs, layerPlan.geometry, options);
    check(layer != nullptr, std::string("creating layer ") + layerPlan.name);
    for (const SampleField& f : layerPlan.fields) {
        OGRFieldDefn field(f.name.c_str(), f.type);
        field.SetSubType(f.subType);
        field.SetWidth(f.width);
        field.SetPrecision(f.precision);
        field.SetNullable(f.nullable);
        if (f.defaultValue) field.SetDefault(f.defaultValue);
        if (f.alias) field.SetAlternativeName(f.alias);
        check(layer->CreateField(&field) == OGRERR_NONE, "creating field " + f.name);
    }
    Transaction transaction(dataset, false);
    for (int row = 0; row < rowCount; ++row) {
        OGRFeatureUniquePtr feature(OGRFeature::CreateFeature(layer->GetLayerDefn()));
        for (std::size_t i = 0; i < layerPlan.fields.size(); ++i) {
            const int column = layer->GetLayerDefn()->GetFieldIndex(layerPlan.fields[i].name.c_str());
            if (isNullCell(row, static_cast<int>(i), layerPlan.fields[i]))
                feature->SetFieldNull(column);
            else
                setValue(*feature, column, layerPlan.fields[i], row);
        }
        feature->SetGeometryDirectly(geometryFor(layerPlan.geometry, row));
        check(layer->CreateFeature(feature.get()) == OGRERR_NONE, std::string("writing a feature of ") + layerPlan.name);
    }
    check(runtime::succeeded(transaction.commit()), "committing");
}

// GDAL 3.6 writes no GeoPackage alias, so the host's own writer does.
void writeGpkgAliases(GDALDataset& dataset, const SampleLayer& layerPlan)
{
    for (const SampleField& f : layerPlan.fields)
        if (f.alias)
            check(runtime::succeeded(writeGpkgAlias(dataset, layerPlan.name, f.name, f.alias)), "writing an alias");
}

GDALDatasetUniquePtr create(const char* driverName, const fs::path& path, int width = 0, int height = 0,
                            GDALDataType type = GDT_Unknown)
{
    std::error_code ec;
    fs::remove_all(path, ec);
    if (path.extension() == ".shp")
        for (const char* ext : {".shx", ".dbf", ".prj", ".cpg"}) fs::remove(fs::path(path).replace_extension(ext), ec);
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    check(driver != nullptr, std::string("finding the driver ") + driverName);
    GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), width, height, width ? 1 : 0, type, nullptr));
    check(dataset != nullptr, "creating " + path.string());
    return dataset;
}

OGRSpatialReference wgs84()
{
    OGRSpatialReference srs;
    srs.importFromEPSG(4326);
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

// The seven mapped types, named for what a layer holds.
std::vector<SampleField> typedFields(const char* prefix, bool withAliases)
{
    const std::string p = prefix;
    auto alias = [withAliases](const char* text) { return withAliases ? text : nullptr; };
    return {
        {p + "rank", OFTInteger, OFSTInt16, 0, 0, alias("Rank"), "1", true},
        {p + "count", OFTInteger, OFSTNone, 0, 0, alias("Head count"), "0", false},
        {p + "ratio", OFTReal, OFSTFloat32, 0, 0, alias("Ratio"), nullptr, true},
        {p + "measure", OFTReal, OFSTNone, 0, 0, alias("Measure (m)"), "2.5", true},
        {p + "label", OFTString, OFSTNone, 40, 0, alias("Label"), "'unnamed'", true},
        {p + "surveyed", OFTDateTime, OFSTNone, 0, 0, alias("Surveyed on"), nullptr, true},
        {p + "sketch", OFTBinary, OFSTNone, 0, 0, alias("Sketch"), nullptr, true},
    };
}

} // namespace

std::string writeGeoPackage(const fs::path& folder)
{
    const fs::path path = folder / geoPackageName;
    GDALDatasetUniquePtr dataset = create("GPKG", path);
    OGRSpatialReference srs = wgs84();
    const SampleLayer layers[] = {{"cities", wkbPoint, typedFields("city_", true)},
                                {"roads", wkbLineString, typedFields("road_", true)},
                                {"parcels", wkbPolygon, typedFields("lot_", true)}};
    for (const SampleLayer& layer : layers) {
        writeLayer(*dataset, layer, srs, nullptr);
        writeGpkgAliases(*dataset, layer);
    }
    return path.string();
}

std::string writeShapefile(const fs::path& folder)
{
    const fs::path path = folder / shapefileName;
    GDALDatasetUniquePtr dataset = create("ESRI Shapefile", path);
    OGRSpatialReference srs = wgs84();
    // A shapefile keeps width and precision but no alias, default or not-null.
    const SampleLayer rivers{"rivers",
                           wkbLineString,
                           {{"name", OFTString, OFSTNone, 32, 0, nullptr, nullptr, true},
                            {"length_km", OFTReal, OFSTNone, 12, 3, nullptr, nullptr, true},
                            {"flow", OFTInteger, OFSTNone, 9, 0, nullptr, nullptr, true},
                            {"class", OFTInteger, OFSTNone, 4, 0, nullptr, nullptr, true},
                            {"surveyed", OFTDate, OFSTNone, 0, 0, nullptr, nullptr, true}}};
    writeLayer(*dataset, rivers, srs, nullptr);
    return path.string();
}

std::string writeFileGdb(const fs::path& folder)
{
    const fs::path path = folder / fileGdbName;
    GDALDatasetUniquePtr dataset = create("OpenFileGDB", path);
    OGRSpatialReference srs = wgs84();
    const char* withShapeFields[] = {"CREATE_SHAPE_AREA_AND_LENGTH_FIELDS=YES", nullptr};
    writeLayer(*dataset, {"lakes", wkbPolygon, typedFields("lake_", true)}, srs, const_cast<char**>(withShapeFields));
    writeLayer(*dataset, {"wells", wkbPoint, typedFields("well_", false)}, srs, nullptr);
    return path.string();
}

std::string writeGeoTiff(const fs::path& folder)
{
    const fs::path path = folder / geoTiffName;
    constexpr int size = 32;
    GDALDatasetUniquePtr dataset = create("GTiff", path, size, size, GDT_Int16);
    double transform[6] = {5.0, 0.125, 0, 49.0, 0, -0.125};
    dataset->SetGeoTransform(transform);
    OGRSpatialReference srs = wgs84();
    dataset->SetSpatialRef(&srs);
    std::vector<GInt16> heights(size * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x)
            heights[static_cast<std::size_t>(y * size + x)] = static_cast<GInt16>(100 + x * 7 + y * 3);
    check(dataset->GetRasterBand(1)->RasterIO(GF_Write, 0, 0, size, size, heights.data(), size, size, GDT_Int16, 0, 0,
                                              nullptr) == CE_None,
          "writing the raster");
    return path.string();
}

std::vector<std::string> writeAll(const fs::path& folder)
{
    fs::create_directories(folder);
    return {writeGeoPackage(folder), writeShapefile(folder), writeFileGdb(folder), writeGeoTiff(folder)};
}

std::vector<std::string> samplePaths(const fs::path& folder)
{
    std::vector<std::string> paths;
    for (const char* name : {geoPackageName, shapefileName, fileGdbName, geoTiffName})
        paths.push_back((folder / name).string());
    return paths;
}

} // namespace gishost::sample
