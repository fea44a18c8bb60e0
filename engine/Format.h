#pragma once

// The one place that decides, for each kind of data source, how its schema
// is changed and how a column is copied: the database's own SQL, a new file
// written beside the old one, or GDAL's API with every write read back.

#include "runtime/Status.h"

#include <memory>
#include <string>
#include <vector>

class GDALDataset;
class OGRFieldDefn;

namespace engine {

struct Field;
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

    // How GDAL opens the dataset: its flags, read-only (raster data too) or
    // for update, and open options ("NAME=VALUE").
    virtual unsigned openFlags(bool update) const;
    virtual std::vector<std::string> openOptions() const { return {}; }
    // The one sentence saying why GDAL could not open the dataset at `path`,
    // with GDAL's message; empty for the usual wording.
    virtual std::string whyNotOpened(const std::string&) const { return {}; }
    // Whether another program's lock keeps GDAL from opening the dataset at
    // this moment, as the database itself answers; by default never.
    virtual bool lockedNow(const std::string&) const { return false; }
    // What the dataset's map is called (by default its file's name), and
    // how reasons name the dataset (by default its path).
    virtual std::string datasetName(GDALDataset& dataset, const std::string& path) const;
    virtual std::string shownPath(const std::string& path, const std::string&) const { return path; }
    // The vector layers that are the dataset's tables: by default all; a
    // database's, those the role may read.
    virtual std::vector<std::string> readableTables(GDALDataset& dataset) const;
    // Changes when another program changed the tables in a way the files'
    // stamps do not show (a database's other sessions); empty when it cannot.
    virtual std::string version(GDALDataset&) const { return {}; }

    // Completes the fields GDAL read of a table (their aliases GDAL's
    // alternative names) with what the format keeps elsewhere; by default
    // nothing.
    virtual void completeFields(GDALDataset&, const std::string&, std::vector<Field>&) const {}

    // Each change is all or nothing; a failure is explained.
    // `field` carries the alias as its alternative name; `columnType`, when
    // given, is the column's type as a database names it (see
    // databaseTypeCode()), which other formats leave to the type of `field`.
    virtual runtime::HResult addField(const Table& table, const OGRFieldDefn& field,
                                      const std::string& columnType) const = 0;
    virtual runtime::HResult deleteField(const Table& table, const std::string& name) const = 0;
    // Both fields exist and are of the same type.
    virtual runtime::HResult copyColumn(const Table& table, const std::string& from, const std::string& to) const = 0;
};

// The format of data opened by this GDAL driver.
const Format& formatFor(const std::string& driverName);

} // namespace engine
