#include "engine/core/Format.h"

#include "engine/core/Schema.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

namespace engine {

namespace fs = std::filesystem;

bool writableFile(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return true; // not a file: a connection string
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0 && access(path.c_str(), W_OK) == 0;
}

void Opening::recover(const std::string&) const {}

bool Opening::writable(const std::string& path) const
{
    if (!writableFile(path)) return false;
    std::error_code ec;
    if (!fs::is_directory(path, ec)) return true;
    for (const auto& entry : fs::directory_iterator(path, ec))
        if (entry.is_regular_file(ec) && !writableFile(entry.path().string())) return false;
    return true;
}

unsigned Opening::openFlags(bool update) const
{
    return update ? GDAL_OF_VECTOR | GDAL_OF_UPDATE : GDAL_OF_VECTOR | GDAL_OF_RASTER | GDAL_OF_READONLY;
}

void Opening::connected(GDALDataset&) const {}

std::string Opening::datasetName(GDALDataset*, const std::string& path) const
{
    return fs::path(path).filename().string();
}

std::vector<std::string> ChangeWatch::watchedFiles(const std::string& path) const
{
    std::error_code ec;
    if (!fs::is_directory(path, ec)) return {path};
    std::vector<std::string> files;
    for (const auto& entry : fs::directory_iterator(path, ec))
        if (entry.is_regular_file(ec)) files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> SchemaReading::tableNames(const std::string&, GDALDataset* gdal) const
{
    std::vector<std::string> names;
    if (gdal)
        for (OGRLayer* layer : gdal->GetLayers()) names.push_back(layer->GetName());
    return names;
}

std::shared_ptr<const Schema> SchemaReading::readFields(const std::string&, GDALDataset* gdal,
                                                        const std::string& table) const
{
    OGRLayer* layer = gdal ? gdal->GetLayerByName(table.c_str()) : nullptr;
    if (!layer) return nullptr;
    auto schema = schemaOf(*layer);
    return completeFields(*gdal, table, *schema) ? schema : nullptr;
}

void FormatRegistry::add(std::string driverName, const Format& format)
{
    formats_.emplace_back(std::move(driverName), &format);
}

const Format* FormatRegistry::find(const std::string& driverName) const
{
    for (const auto& [name, format] : formats_)
        if (name == driverName) return format;
    return nullptr;
}

} // namespace engine
