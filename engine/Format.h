#pragma once

// The one place that decides, for each kind of data source, how its schema
// is changed and how a column is copied: the database's own SQL, a new file
// written beside the old one, or GDAL's API with every write read back.

#include "runtime/Status.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class GDALDataset;
class OGRFieldDefn;

namespace engine {

class Table;
struct Schema;

class Format {
public:
    virtual ~Format() = default;

    // The files whose change on disk means that another program wrote the
    // dataset at `path` (by default the file itself, or every file of a
    // folder).
    virtual std::vector<std::string> watchedFiles(const std::string& path) const;
    // Whether the engine may write the dataset's files; a file nobody may
    // write to counts as read-only even for a user (root) whom the system
    // would let write.
    virtual bool writable(const std::string& path) const;
    // Runs before GDAL opens the dataset: undoes what a crash interrupted,
    // where the format leaves a trace of it.
    virtual void recover(const std::string& path) const;
    // Whether changes are the database's own transactions, which another
    // program's writes cannot interleave with. Other formats refuse a change
    // when the files changed since they were read, and read them again.
    virtual bool transactional() const noexcept { return false; }
    // Whether the format reads its tables and their fields itself: GDAL's
    // view is then opened only to read rows (GDAL holds a shapefile's whole
    // shape index in memory while it is open).
    virtual bool readsFieldsItself() const noexcept { return false; }
    virtual std::vector<std::string> tableNames(const std::string& path) const;
    // Null when the table cannot be read.
    virtual std::shared_ptr<const Schema> readFields(const std::string& path, const std::string& table) const;

    // Called on each connection GDAL opens, read-only or for update.
    virtual void connected(GDALDataset& dataset) const;

    // Aliases (column name to alias) the format keeps outside GDAL's field
    // definitions; by default none, and GDAL's alternative names serve.
    virtual runtime::HResult readAliases(GDALDataset& dataset, const std::string& table,
                                         std::map<std::string, std::string>& aliases) const;

    // Each change is all or nothing; a failure is explained.
    // `field` carries the alias as its alternative name.
    virtual runtime::HResult addField(const Table& table, const OGRFieldDefn& field) const = 0;
    virtual runtime::HResult deleteField(const Table& table, const std::string& name) const = 0;
    // Both fields exist and are of the same type.
    virtual runtime::HResult copyColumn(const Table& table, const std::string& from, const std::string& to) const = 0;
};

// The format of data opened by this GDAL driver.
const Format& formatFor(const std::string& driverName);

} // namespace engine
