#pragma once

#include "engine/Postgres.h"

#include <gdal_priv.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace gishost {

enum class OpenMode { Update, ReadOnly };

// One open GDAL dataset, shared by the map and the layers made from it: a
// file or folder, or a PostgreSQL database given by its connection string.
class DataSource {
public:
    // Opens for update where the dataset and its files allow it, read-only
    // otherwise. Null with `problem` set when the path is not a dataset.
    static std::shared_ptr<DataSource> open(const std::string& path, OpenMode mode, std::string& problem);

    GDALDataset& dataset() const noexcept { return *dataset_; }
    const std::string& path() const noexcept { return path_; }
    // What its map is called: the file's name, or the database's.
    const std::string& name() const noexcept { return name_; }
    bool readOnly() const noexcept { return readOnly_; }
    std::string driverName() const;
    bool isGeoPackage() const;
    bool isPostgres() const noexcept { return postgres_; }
    // True when the driver runs SQL of its own database (not OGR's dialect).
    bool hasOwnSql() const;

    // The vector layers a map shows: for a database, the tables and views
    // the role may read.
    std::vector<OGRLayer*> vectorLayers() const;
    // The layer of that name in the dataset as it is now, or null.
    OGRLayer* layer(const std::string& name) const;
    // The database table behind a layer, or null.
    const engine::pg::Table* table(const std::string& layerName) const;

    // Opens the database afresh, so that GDAL's layers show a schema changed
    // by SQL of our own; the dataset stays as it was when that fails.
    runtime::HResult reopen();
    // Reconnects when the server closed the connection (a restart, an
    // administrator ending the session).
    runtime::HResult ensureConnected();
    // The same, answering whether it connected again.
    bool reconnectIfLost();

private:
    DataSource(GDALDatasetUniquePtr dataset, std::string path, bool readOnly);
    static std::shared_ptr<DataSource> openDatabase(const std::string& connection, OpenMode mode,
                                                    std::string& problem);
    runtime::HResult readDatabase();

    GDALDatasetUniquePtr dataset_;
    std::string path_;
    std::string name_;
    bool readOnly_;
    bool postgres_ = false;
    std::map<std::string, engine::pg::Table> tables_;
};

} // namespace gishost
