#include "gishost/model/DataSource.h"

#include "engine/Log.h"
#include "engine/OgrStatus.h"

#include <ogrsf_frmts.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace gishost {

using namespace engine;
namespace pg = engine::pg;

namespace {

GDALDatasetUniquePtr openDataset(const std::string& path, unsigned flags)
{
    return GDALDatasetUniquePtr(GDALDataset::Open(path.c_str(), flags | GDAL_OF_VERBOSE_ERROR));
}

// Every table of every schema, not only those with a geometry column.
GDALDatasetUniquePtr openConnection(const std::string& connection, OpenMode mode)
{
    const char* options[] = {"LIST_ALL_TABLES=YES", nullptr};
    const unsigned flags = GDAL_OF_VECTOR | GDAL_OF_VERBOSE_ERROR | (mode == OpenMode::Update ? GDAL_OF_UPDATE : 0);
    return GDALDatasetUniquePtr(GDALDataset::Open(connection.c_str(), flags, nullptr, options, nullptr));
}

std::string oneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
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
    : dataset_(std::move(dataset)), path_(std::move(path)),
      name_(std::filesystem::path(path_).filename().string()), readOnly_(readOnly)
{
}

std::shared_ptr<DataSource> DataSource::open(const std::string& path, OpenMode mode, std::string& problem)
{
    if (pg::isConnectionString(path)) return openDatabase(path, mode, problem);
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

// The password a connection string may hold is never part of a message.
std::shared_ptr<DataSource> DataSource::openDatabase(const std::string& connection, OpenMode mode,
                                                     std::string& problem)
{
    GDALDatasetUniquePtr dataset;
    {
        QuietErrors quiet;
        CPLErrorReset();
        dataset = openConnection(connection, mode);
    }
    std::shared_ptr<DataSource> source;
    if (dataset) source.reset(new DataSource(std::move(dataset), connection, mode == OpenMode::ReadOnly));
    if (!source || runtime::failed(source->readDatabase())) {
        problem = pg::hidePasswords(connection + ": the database could not be opened. (" +
                                        oneLine(CPLGetLastErrorMsg()) + ")",
                                    connection);
        return nullptr;
    }
    return source;
}

runtime::HResult DataSource::readDatabase()
{
    std::string database;
    std::vector<pg::TableLayer> tables;
    runtime::HResult hr = pg::currentDatabase(*dataset_, database);
    if (runtime::succeeded(hr)) hr = pg::readableTables(*dataset_, tables);
    if (runtime::failed(hr)) return hr;
    postgres_ = true;
    name_ = database;
    tables_.clear();
    for (const pg::TableLayer& t : tables) tables_[t.layerName] = t.table;
    return runtime::S_OK;
}

std::vector<OGRLayer*> DataSource::vectorLayers() const
{
    std::vector<OGRLayer*> layers;
    for (OGRLayer* layer : dataset_->GetLayers())
        if (!postgres_ || tables_.count(layer->GetName())) layers.push_back(layer);
    return layers;
}

OGRLayer* DataSource::layer(const std::string& name) const
{
    for (OGRLayer* layer : dataset_->GetLayers())
        if (name == layer->GetName()) return layer;
    return nullptr;
}

const pg::Table* DataSource::table(const std::string& layerName) const
{
    const auto found = tables_.find(layerName);
    return found == tables_.end() ? nullptr : &found->second;
}

runtime::HResult DataSource::reopen()
{
    if (!postgres_) return runtime::S_OK;
    GDALDatasetUniquePtr fresh;
    {
        QuietErrors quiet;
        fresh = openConnection(path_, readOnly_ ? OpenMode::ReadOnly : OpenMode::Update);
    }
    if (!fresh) {
        engine::explain(pg::hidePasswords("The database " + name_ + " could not be opened again: " +
                                              oneLine(CPLGetLastErrorMsg()),
                                          path_));
        return runtime::E_FAIL;
    }
    std::swap(dataset_, fresh);
    const runtime::HResult hr = readDatabase();
    if (runtime::failed(hr)) std::swap(dataset_, fresh);
    return hr;
}

runtime::HResult DataSource::ensureConnected()
{
    if (!postgres_ || pg::connectionAlive(*dataset_)) return runtime::S_OK;
    return reopen();
}

bool DataSource::reconnectIfLost()
{
    return postgres_ && !pg::connectionAlive(*dataset_) && runtime::succeeded(reopen());
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
