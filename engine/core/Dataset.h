#pragma once

// One dataset as the engine holds it: opened read-only, so that looking at
// data never changes it, and opened again for update at the first change
// asked for. What it read of each table's fields is kept and answered from,
// and read again only after the engine's own changes or when the files
// changed on disk.

#include "engine/core/FileStamp.h"
#include "engine/core/Schema.h"
#include "runtime/Status.h"

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class GDALDataset;

namespace engine {

class Format;

// GDAL's view of the dataset; whoever holds one keeps it open, also after
// the engine moved on to a newer one.
using GdalHandle = std::shared_ptr<GDALDataset>;

class Dataset {
public:
    // Null with `problem` set (one sentence) when the path cannot be opened.
    static std::shared_ptr<Dataset> open(const std::string& path, std::string& problem);
    ~Dataset();
    Dataset(const Dataset&) = delete;
    Dataset& operator=(const Dataset&) = delete;

    const std::string& path() const noexcept { return path_; }
    // What its map is called: the file's name, or the database's.
    const std::string& name() const noexcept { return name_; }
    // How reasons name it: its path, never a connection's password.
    std::string shownPath() const;
    const Format& format() const noexcept { return *format_; }
    // Its files cannot be written, it is a raster, or GDAL cannot write it.
    bool readOnly() const noexcept { return readOnly_; }
    // The vector tables, in GDAL's order, as found at open.
    const std::vector<std::string>& tableNames() const noexcept { return tables_; }
    bool hasRaster() const noexcept { return hasRaster_; }

    // GDAL's view as it is now, read again first when the files changed;
    // null when it cannot be opened.
    GdalHandle reading();
    // The fields of a table as last read; never waits on a lock: while the
    // files cannot be read, what was read before is the answer.
    runtime::HResult schema(const std::string& table, std::shared_ptr<const Schema>& out);
    // Changes each time what the engine knows of the tables changes.
    std::uint64_t generation() const noexcept { return generation_; }

    // For the changes a format makes, within one LockWait: the fields of
    // `table` to change. Fails (explained) when the data is read-only or
    // another program changed it in a way this format cannot take (see
    // Format).
    runtime::HResult beginChange(const std::string& table, std::shared_ptr<const Schema>& current);
    // GDAL's view opened for update; explained failure when it cannot be.
    runtime::HResult forUpdate(GDALDataset*& dataset);
    // The engine changed a table itself: its fields are read again.
    void changed(const std::string& table);
    // A change failed: GDAL's view may no longer match the files, so it is
    // opened anew before it is used again; the files are as they were.
    void failed() noexcept { stale_ = true; }

private:
    Dataset(std::string path, std::string driver, const Format& format, GdalHandle gdal, bool readOnly);
    // Opens GDAL's view again when a failed change left it stale, and reads
    // the tables again when the files changed on disk; true when they had.
    bool refreshIfChanged();
    runtime::HResult knownSchema(const std::string& table, std::shared_ptr<const Schema>& out) const;
    runtime::HResult reopen(bool update, std::chrono::milliseconds wait);
    // GDAL's view after a change: opened again, or let go until rows are
    // read where the format reads the tables itself.
    runtime::HResult renewView(std::chrono::milliseconds wait);
    // The format's version of the tables as GDAL's view sees them now.
    std::string versionNow() const;
    // Whether GDAL can open the dataset read-only at this moment.
    bool readableNow() const;
    // False when the tables could not all be read; what was read before stays.
    bool readSchemas();
    std::shared_ptr<const Schema> readSchema(const std::string& table) const;

    std::string path_;
    std::string name_;
    std::string driver_;
    const Format* format_;
    GdalHandle gdal_;
    bool readOnly_;
    bool updating_ = false;
    bool stale_ = false;
    // The engine's own change could not be read back: the tables are read again.
    bool unread_ = false;
    bool hasRaster_ = false;
    std::vector<std::string> tables_;
    std::map<std::string, std::shared_ptr<const Schema>> schemas_;
    std::vector<FileStamp> stamps_;
    std::string version_;
    std::uint64_t generation_ = 0;
};

} // namespace engine
