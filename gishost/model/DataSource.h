#pragma once

#include <gdal_priv.h>

#include <memory>
#include <string>

namespace gishost {

enum class OpenMode { Update, ReadOnly };

// One open GDAL dataset, shared by the map and the layers made from it.
class DataSource {
public:
    // Opens for update where the dataset and its files allow it, read-only
    // otherwise. Null with `problem` set when the path is not a dataset.
    static std::shared_ptr<DataSource> open(const std::string& path, OpenMode mode, std::string& problem);

    GDALDataset& dataset() const noexcept { return *dataset_; }
    const std::string& path() const noexcept { return path_; }
    bool readOnly() const noexcept { return readOnly_; }
    std::string driverName() const;
    bool isGeoPackage() const;
    // True when the driver runs SQL of its own database (not OGR's dialect).
    bool hasOwnSql() const;

private:
    DataSource(GDALDatasetUniquePtr dataset, std::string path, bool readOnly);

    GDALDatasetUniquePtr dataset_;
    std::string path_;
    bool readOnly_;
};

} // namespace gishost
