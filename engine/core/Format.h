#pragma once

// What the engine asks of each kind of data source, by job: how it is
// opened, how another program's changes are noticed, where its tables'
// fields are read, and how its schema is changed and a column copied (the
// database's own SQL, a new file written beside the old one, or GDAL's API
// with every write read back). Each format lives in a folder of its own and
// registers itself under the GDAL drivers that open its data (Formats.cpp).

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

// Whether one file or folder may be written; a file nobody may write to
// counts as read-only even for root. True for what is no file.
bool writableFile(const std::string& path);

class Opening {
public:
    virtual ~Opening() = default;

    // Runs before GDAL opens the dataset: undoes what a crash interrupted,
    // where the format leaves a trace of it.
    virtual void recover(const std::string& path) const;
    // Whether the engine may write the dataset's files; a file nobody may
    // write to counts as read-only even for a user (root) whom the system
    // would let write.
    virtual bool writable(const std::string& path) const;
    // How GDAL opens the dataset: its flags, read-only (raster data too) or
    // for update, and open options ("NAME=VALUE").
    virtual unsigned openFlags(bool update) const;
    virtual std::vector<std::string> openOptions() const { return {}; }
    // Called on each connection GDAL opens, read-only or for update.
    virtual void connected(GDALDataset& dataset) const;
    // The one sentence saying why GDAL could not open the dataset at `path`,
    // with GDAL's message; empty for the usual wording.
    virtual std::string whyNotOpened(const std::string&) const { return {}; }
    // Whether another program's lock keeps GDAL from opening the dataset at
    // this moment, as the database itself answers; by default never.
    virtual bool lockedNow(const std::string&) const { return false; }
    // What the dataset's map is called (by default its file's name; `gdal`
    // is null when GDAL's view is not open), and how reasons name the
    // dataset (by default its path).
    virtual std::string datasetName(GDALDataset* gdal, const std::string& path) const;
    virtual std::string shownPath(const std::string& path, const std::string&) const { return path; }
};

class ChangeWatch {
public:
    virtual ~ChangeWatch() = default;

    // The files whose change on disk means that another program wrote the
    // dataset at `path` (by default the file itself, or every file of a
    // folder).
    virtual std::vector<std::string> watchedFiles(const std::string& path) const;
    // Changes when another program changed the tables in a way the files'
    // stamps do not show (a database's other sessions); empty when it cannot.
    virtual std::string version(GDALDataset&) const { return {}; }
    // Whether changes are the database's own transactions, which another
    // program's writes cannot interleave with. Other formats refuse a change
    // when the files changed since they were read, and read them again.
    virtual bool transactional() const noexcept { return false; }
};

class SchemaReading {
public:
    virtual ~SchemaReading() = default;

    // Whether the tables are read through GDAL's view, which then stays
    // open. A format that reads them itself has GDAL open the data only to
    // read rows (GDAL holds a shapefile's whole shape index in memory while
    // it is open); `gdal` is then null below.
    virtual bool readsThroughGdal() const noexcept { return true; }
    // The dataset's tables: by default every vector layer of GDAL's view.
    virtual std::vector<std::string> tableNames(const std::string& path, GDALDataset* gdal) const;
    // Null when the table cannot be read. By default GDAL's fields (their
    // aliases GDAL's alternative names) completed by completeFields().
    virtual std::shared_ptr<const Schema> readFields(const std::string& path, GDALDataset* gdal,
                                                     const std::string& table) const;

protected:
    // What the format keeps elsewhere than GDAL tells; by default nothing.
    // False when what GDAL read is not the whole table: it is then not read.
    virtual bool completeFields(GDALDataset&, const std::string&, Schema&) const { return true; }
};

class Writing {
public:
    virtual ~Writing() = default;

    // Each change is all or nothing; a failure is explained.
    // `field` carries the alias as its alternative name; `columnType`, when
    // given, is the column's type as a database names it
    // (Field::databaseType), which other formats leave to the type of `field`.
    virtual runtime::HResult addField(const Table& table, const OGRFieldDefn& field,
                                      const std::string& columnType) const = 0;
    virtual runtime::HResult deleteField(const Table& table, const std::string& name) const = 0;
    // Both fields exist and are of the same type.
    virtual runtime::HResult copyColumn(const Table& table, const std::string& from, const std::string& to) const = 0;
};

class Format : public Opening, public ChangeWatch, public SchemaReading, public Writing {};

// The formats by the names of the GDAL drivers that open their data.
class FormatRegistry {
public:
    void add(std::string driverName, const Format& format);
    // Null when no format registered under that name.
    const Format* find(const std::string& driverName) const;

private:
    std::vector<std::pair<std::string, const Format*>> formats_;
};

// The format of data opened by this GDAL driver; any driver no format
// registered for is written through GDAL's layer API (ogr/OgrFormat.h).
const Format& formatFor(const std::string& driverName);

} // namespace engine
