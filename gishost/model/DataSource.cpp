#include "gishost/model/DataSource.h"

#include "engine/OgrStatus.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace gishost {

using namespace engine;

namespace {

GDALDatasetUniquePtr openDataset(const std::string& path, unsigned flags)
{
    return GDALDatasetUniquePtr(GDALDataset::Open(path.c_str(), flags | GDAL_OF_VERBOSE_ERROR));
}

// A file or folder that nobody may write to is treated as read-only even
// by a user (root) whom the system would let write.
bool markedReadOnly(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return false; // not a file: a connection string
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(path.c_str(), W_OK) != 0;
}

std::string whyNotOpened(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return path + ": there is no such file or folder.";
    std::string text = path + ": not a GIS dataset that GDAL can open.";
    if (const char* detail = CPLGetLastErrorMsg(); detail && *detail) text += std::string(" (") + detail + ")";
    return text;
}

} // namespace

DataSource::DataSource(GDALDatasetUniquePtr dataset, std::string path, bool readOnly)
    : dataset_(std::move(dataset)), path_(std::move(path)), readOnly_(readOnly)
{
}

std::shared_ptr<DataSource> DataSource::open(const std::string& path, OpenMode mode, std::string& problem)
{
    GDALDatasetUniquePtr dataset;
    {
        QuietErrors quiet;
        CPLErrorReset();
        dataset = openDataset(path, GDAL_OF_VECTOR | GDAL_OF_RASTER | GDAL_OF_READONLY);
        if (!dataset) {
            problem = whyNotOpened(path);
            return nullptr;
        }
    }
    // Only vector data is edited; rasters stay read-only so nothing rewrites them.
    if (mode == OpenMode::Update && dataset->GetLayerCount() > 0 && !markedReadOnly(path)) {
        dataset.reset();
        GDALDatasetUniquePtr updatable;
        {
            QuietErrors quiet;
            updatable = openDataset(path, GDAL_OF_VECTOR | GDAL_OF_UPDATE);
        }
        if (updatable) return std::shared_ptr<DataSource>(new DataSource(std::move(updatable), path, false));
        dataset = openDataset(path, GDAL_OF_VECTOR | GDAL_OF_RASTER | GDAL_OF_READONLY);
        if (!dataset) {
            problem = whyNotOpened(path);
            return nullptr;
        }
    }
    return std::shared_ptr<DataSource>(new DataSource(std::move(dataset), path, true));
}

std::string DataSource::driverName() const
{
    GDALDriver* driver = dataset_->GetDriver();
    return driver ? driver->GetDescription() : "";
}

bool DataSource::isGeoPackage() const { return driverName() == "GPKG"; }

bool DataSource::hasOwnSql() const
{
    const std::string name = driverName();
    return name == "GPKG" || name == "SQLite" || name == "PostgreSQL";
}

} // namespace gishost
