// GeoPackage and other SQLite databases: schema changes and the column copy
// in the database's own SQL, each call one transaction; another program's
// lock is waited for at most the call's bound; a crash's hot journal is
// rolled back before the file is opened.

#include "engine/sqlite/SqliteFormat.h"

#include "engine/core/Format.h"
#include "engine/sqlite/GpkgAliases.h"
#include "engine/core/LockWait.h"
#include "engine/core/Log.h"
#include "engine/core/OgrEdits.h"
#include "engine/core/OgrStatus.h"
#include "engine/core/Progress.h"
#include "engine/core/Reasons.h"
#include "engine/core/Settings.h"
#include "engine/core/Table.h"
#include "engine/core/Transaction.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <sqlite3.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <thread>
#include <tuple>

namespace engine {

using runtime::HResult;

namespace {

bool nonEmptyFile(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && info.st_size > 0;
}

sqlite3* handleOf(GDALDataset& dataset) { return static_cast<sqlite3*>(dataset.GetInternalHandle("SQLITE_HANDLE")); }

// SQLite asks again and again while another connection holds the lock; the
// waiting ends at the call's bound, and never later than lockTimeout()
// after this lock was first met.
int waitForLock(void*, int attempt)
{
    using Clock = LockWait::Clock;
    thread_local Clock::time_point firstMet;
    const auto now = Clock::now();
    if (attempt == 0) firstMet = now;
    const auto deadline = std::min(LockWait::deadline(), firstMet + lockTimeout());
    if (now >= deadline) {
        LockWait::noteRanOut();
        return 0;
    }
    std::this_thread::sleep_for(std::min<Clock::duration>(std::chrono::milliseconds(5), deadline - now));
    return 1;
}

// Reports the statement's start, then its progress in steps of SQLite's
// virtual machine.
class StatementProgress {
public:
    StatementProgress(GDALDataset& dataset, std::string step) : db_(handleOf(dataset)), step_(std::move(step))
    {
        if (!db_ || !progressWanted()) return;
        reportProgress(step_, 0, 0);
        sqlite3_progress_handler(db_, 20000, tick, this);
    }
    ~StatementProgress()
    {
        if (db_) sqlite3_progress_handler(db_, 0, nullptr, nullptr);
    }
    StatementProgress(const StatementProgress&) = delete;
    StatementProgress& operator=(const StatementProgress&) = delete;

private:
    static int tick(void* self)
    {
        auto* p = static_cast<StatementProgress*>(self);
        reportProgress(p->step_, ++p->ticks_, 0);
        return 0;
    }
    sqlite3* db_;
    std::string step_;
    std::uint64_t ticks_ = 0;
};

class SqliteFormat final : public Format {
public:
    explicit SqliteFormat(bool geoPackage) : geoPackage_(geoPackage) {}

    std::vector<std::string> watchedFiles(const std::string& path) const override { return {path, path + "-wal"}; }

    // SQLite writes its journal beside the file.
    bool writable(const std::string& path) const override
    {
        const std::string folder = std::filesystem::path(path).parent_path().string();
        return Format::writable(path) && Format::writable(folder.empty() ? "." : folder);
    }

    bool transactional() const noexcept override { return true; }

    // A connection that may write rolls a hot journal back before anything
    // reads the file; only then does GDAL open it read-only.
    void recover(const std::string& path) const override
    {
        const std::string journal = path + "-journal";
        const bool journalLeft = nonEmptyFile(journal);
        if ((!journalLeft && !nonEmptyFile(path + "-wal")) || !writable(path)) return;
        sqlite3* db = nullptr;
        if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
            sqlite3_busy_timeout(db, static_cast<int>(lockTimeout().count()));
            sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        }
        sqlite3_close(db);
        if (journalLeft && !nonEmptyFile(journal)) note(reason::crashUndone(path));
    }

    // A read needs the lock a writer holds while it commits; an update, the
    // one another program's open transaction holds.
    bool lockedNow(const std::string& path) const override
    {
        const bool update = writable(path);
        sqlite3* db = nullptr;
        int rc = sqlite3_open_v2(path.c_str(), &db, update ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY, nullptr);
        if (rc == SQLITE_OK) rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK && update) rc = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_close(db); // rolls the probe's transaction back
        rc &= 0xff; // the primary code of an extended one
        return rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
    }

    void connected(GDALDataset& dataset) const override
    {
        if (sqlite3* db = handleOf(dataset)) sqlite3_busy_handler(db, waitForLock, nullptr);
    }

    // A GeoPackage's aliases count before GDAL's alternative names.
    bool completeFields(GDALDataset& dataset, const std::string& table, Schema& schema) const override
    {
        if (!geoPackage_) return true;
        std::map<std::string, std::string> aliases;
        if (runtime::succeeded(readGpkgAliases(dataset, table, aliases))) showMovedAliases(dataset, table, aliases);
        for (Field& field : schema.fields)
            if (const auto alias = aliases.find(field.name()); alias != aliases.end()) field.alias = alias->second;
        return true;
    }

    HResult addField(const Table& table, const OGRFieldDefn& field, const std::string&) const override
    {
        GDALDataset* dataset = nullptr;
        OGRLayer* layer = nullptr;
        HResult hr = table.layerForUpdate(dataset, layer);
        if (runtime::failed(hr)) return hr;
        const StatementProgress progress(*dataset, "add");
        const std::string alias = field.GetAlternativeNameRef();
        std::string movedFrom;
        const auto writeAlias = [&](GDALDataset& dataset, OGRLayer& layer) {
            if (!geoPackage_ || alias.empty()) return HResult(runtime::S_OK);
            return writeGpkgAlias(dataset, layer.GetName(), field.GetNameRef(), alias, &movedFrom);
        };
        // GDAL describes a JSON column itself, in a table of its own
        // definition where the file has none: the GeoPackage standard's comes
        // first.
        const bool described = geoPackage_ && (!alias.empty() || field.GetSubType() == OFSTJSON);
        const auto createTable = [](GDALDataset& dataset, OGRLayer&) { return createGpkgDataColumns(dataset); };
        // GDAL 3.7 and later write a GeoPackage alias themselves, as a row the
        // standard's one-alias-per-table rule refuses while the old field of
        // a rename still holds it: the engine writes it, once, as above.
        OGRFieldDefn withoutAlias(&field);
        withoutAlias.SetAlternativeName("");
        hr = addFieldByOgr(table, geoPackage_ ? withoutAlias : field, false, writeAlias,
                           described ? AlsoInTransaction(createTable) : nullptr);
        if (runtime::succeeded(hr) && !movedFrom.empty())
            movedAliases_[keyOf(*dataset, table.name(), field.GetNameRef())] = {movedFrom, alias};
        return hr;
    }

    HResult deleteField(const Table& table, const std::string& name) const override
    {
        GDALDataset* dataset = nullptr;
        OGRLayer* layer = nullptr;
        HResult hr = table.layerForUpdate(dataset, layer);
        if (runtime::failed(hr)) return hr;
        const StatementProgress progress(*dataset, "delete");
        const auto moved = movedAliases_.find(keyOf(*dataset, table.name(), name));
        hr = deleteFieldByOgr(table, name, false, [&](GDALDataset& dataset, OGRLayer& layer) {
            if (!geoPackage_) return HResult(runtime::S_OK);
            HResult hr = forgetGpkgColumn(dataset, layer.GetName(), name);
            if (runtime::succeeded(hr) && moved != movedAliases_.end())
                hr = returnGpkgAlias(dataset, layer.GetName(), moved->second.from, moved->second.alias);
            return hr;
        });
        if (runtime::succeeded(hr)) forgetMoves(*dataset, table.name(), name);
        return hr;
    }

    // The copy and what describes the copied values, in one transaction.
    HResult copyColumn(const Table& table, const std::string& from, const std::string& to) const override
    {
        GDALDataset* dataset = nullptr;
        OGRLayer* layer = nullptr;
        HResult hr = table.layerForUpdate(dataset, layer);
        if (runtime::failed(hr)) return hr;
        const QuietErrors quiet;
        const StatementProgress progress(*dataset, "copy");
        const std::string what = reason::copying(from, to);
        CPLErrorReset();
        Transaction transaction(*dataset, false);
        if (runtime::failed(hr = transaction.started())) return explainFailure(table, what, hr);
        hr = executeSql(*dataset, "UPDATE " + quoteIdentifier(table.name()) + " SET " + quoteIdentifier(to) + " = " +
                                      quoteIdentifier(from));
        if (runtime::succeeded(hr) && geoPackage_) hr = carryGpkgDescription(*dataset, table.name(), from, to);
        if (runtime::succeeded(hr)) hr = transaction.commit();
        return explainFailure(table, what, hr);
    }

private:
    // An alias that moved to a new field when it was added (the file keeps
    // each alias once per table) still reads as the old field's while both
    // are there, and goes back to it when the new field is deleted again, as
    // when a rename fails after the add. Known while the program runs; after
    // a crash the alias stays with the new field alone.
    struct MovedAlias {
        std::string from;
        std::string alias;
    };
    // The dataset's path, the table, the field the alias moved to.
    using FieldKey = std::tuple<std::string, std::string, std::string>;

    static FieldKey keyOf(GDALDataset& dataset, const std::string& table, const std::string& field)
    {
        return {dataset.GetDescription(), table, field};
    }

    void showMovedAliases(GDALDataset& dataset, const std::string& table,
                          std::map<std::string, std::string>& aliases) const
    {
        for (const auto& [key, moved] : movedAliases_) {
            const auto& [path, name, field] = key;
            if (path != dataset.GetDescription() || name != table) continue;
            const auto holder = aliases.find(field);
            if (holder != aliases.end() && holder->second == moved.alias) aliases.try_emplace(moved.from, moved.alias);
        }
    }

    // A deleted field neither gives an alias back nor gets one.
    void forgetMoves(GDALDataset& dataset, const std::string& table, const std::string& deleted) const
    {
        std::erase_if(movedAliases_, [&](const auto& entry) {
            const auto& [path, name, field] = entry.first;
            return path == dataset.GetDescription() && name == table && (field == deleted || entry.second.from == deleted);
        });
    }

    bool geoPackage_;
    mutable std::map<FieldKey, MovedAlias> movedAliases_;
};

} // namespace

void registerSqliteFormats(FormatRegistry& formats)
{
    static const SqliteFormat geoPackage(true);
    static const SqliteFormat sqlite(false);
    formats.add("GPKG", geoPackage);
    formats.add("SQLite", sqlite);
}

} // namespace engine
