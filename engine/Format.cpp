#include "engine/Format.h"

#include "engine/OgrEdits.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace engine {

using runtime::HResult;

namespace fs = std::filesystem;

namespace {

bool writableFile(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return true; // not a file: a connection string
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && access(path.c_str(), W_OK) == 0;
}

// Any data GDAL writes through its layer API; a copy is read back.
class OgrFormat final : public Format {
public:
    HResult addField(const Table& table, const OGRFieldDefn& field, const std::string&) const override
    {
        return addFieldByOgr(table, field, false);
    }
    HResult deleteField(const Table& table, const std::string& name) const override
    {
        return deleteFieldByOgr(table, name, false);
    }
    HResult copyColumn(const Table& table, const std::string& from, const std::string& to) const override
    {
        return copyColumnByFeature(table, from, to);
    }
};

} // namespace

const Format& geoPackageFormat();
const Format& sqliteFormat();
const Format& shapefileFormat();
const Format& fileGdbFormat();
const Format& postgresFormat();

std::vector<std::string> Format::watchedFiles(const std::string& path) const
{
    std::error_code ec;
    if (!fs::is_directory(path, ec)) return {path};
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(path, ec))
        if (entry.is_regular_file(ec)) files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

bool Format::writable(const std::string& path) const
{
    if (!writableFile(path)) return false;
    std::error_code ec;
    if (!fs::is_directory(path, ec)) return true;
    for (const auto& entry : fs::directory_iterator(path, ec))
        if (entry.is_regular_file(ec) && !writableFile(entry.path().string())) return false;
    return true;
}

void Format::recover(const std::string&) const {}

std::vector<std::string> Format::tableNames(const std::string&) const { return {}; }

std::shared_ptr<const Schema> Format::readFields(const std::string&, const std::string&) const { return nullptr; }

void Format::connected(GDALDataset&) const {}

unsigned Format::openFlags(bool update) const
{
    return update ? GDAL_OF_VECTOR | GDAL_OF_UPDATE : GDAL_OF_VECTOR | GDAL_OF_RASTER | GDAL_OF_READONLY;
}

std::string Format::datasetName(GDALDataset&, const std::string& path) const
{
    return fs::path(path).filename().string();
}

std::vector<std::string> Format::readableTables(GDALDataset& dataset) const
{
    std::vector<std::string> names;
    for (OGRLayer* layer : dataset.GetLayers()) names.push_back(layer->GetName());
    return names;
}

const Format& formatFor(const std::string& driverName)
{
    static const OgrFormat ogr;
    if (driverName == "GPKG") return geoPackageFormat();
    if (driverName == "SQLite") return sqliteFormat();
    if (driverName == "ESRI Shapefile") return shapefileFormat();
    if (driverName == "OpenFileGDB") return fileGdbFormat();
    // GDAL names a "PG:" connection string PostGIS raster first.
    if (driverName == "PostgreSQL" || driverName == "PostGISRaster") return postgresFormat();
    return ogr;
}

} // namespace engine
