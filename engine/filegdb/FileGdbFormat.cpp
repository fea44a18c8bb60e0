// FileGDB through GDAL's OpenFileGDB writer, which rewrites the table in
// place and, in the GDAL this engine runs on, can damage rows it was not
// asked to touch while answering success. So each change is made to a copy
// of the table's files and the system tables beside the folder, every row
// of the copy is read back and compared with the rows before the change,
// and only a copy that holds exactly what was asked for takes the folder's
// place (WorkCopy), the other tables' files linked into it.

#include "engine/filegdb/FileGdbFormat.h"

#include "engine/core/FieldTypes.h"
#include "engine/core/FileStamp.h"
#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "engine/core/OgrEdits.h"
#include "engine/core/OgrStatus.h"
#include "engine/core/Reasons.h"
#include "engine/filegdb/RowCompare.h"
#include "engine/core/Table.h"
#include "engine/core/WorkCopy.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>

namespace engine {

using runtime::HResult;

namespace fs = std::filesystem;

namespace {

// Before 3.6.4, GDAL's writer corrupts rows when it puts a rewritten row
// into space another row left free (GDAL issue 7504). A table whose free
// space list is a folder has none GDAL can read or write: every rewritten
// row goes to the end of the table instead.
class NoFreeSpaceReuse {
public:
    explicit NoFreeSpaceReuse(const std::string& folder)
    {
        if (std::atoi(GDALVersionInfo("VERSION_NUM")) >= 3060400) return;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(folder, ec)) {
            if (entry.path().extension() != ".gdbtable") continue;
            const fs::path list = fs::path(entry.path()).replace_extension(".freelist");
            fs::remove(list, ec);
            if (fs::create_directory(list, ec)) lists_.push_back(list);
        }
    }
    ~NoFreeSpaceReuse()
    {
        std::error_code ec;
        for (const fs::path& list : lists_) fs::remove(list, ec);
    }
    NoFreeSpaceReuse(const NoFreeSpaceReuse&) = delete;
    NoFreeSpaceReuse& operator=(const NoFreeSpaceReuse&) = delete;

private:
    std::vector<fs::path> lists_;
};

// Whether this GDAL reads a date before 1970 back a second late (its
// FileGDB reader rounds toward zero): every row it rewrites then moves such
// dates, which the read-back would refuse after all the work.
bool shiftsOldDates()
{
    static const bool shifts = [] {
        const QuietErrors quiet;
        const char* path = "/vsimem/quillet-date-probe.gdb";
        {
            GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("OpenFileGDB");
            GDALDatasetUniquePtr dataset(driver ? driver->Create(path, 0, 0, 0, GDT_Unknown, nullptr) : nullptr);
            OGRLayer* layer = dataset ? dataset->CreateLayer("probe", nullptr, wkbNone, nullptr) : nullptr;
            OGRFieldDefn date("d", OFTDateTime);
            if (!layer || layer->CreateField(&date) != OGRERR_NONE) return false;
            OGRFeature feature(layer->GetLayerDefn());
            feature.SetField(0, 1933, 8, 10, 0, 0, 0.0f, 0);
            if (layer->CreateFeature(&feature) != OGRERR_NONE) return false;
        }
        GDALDatasetUniquePtr dataset(GDALDataset::Open(path, GDAL_OF_VECTOR | GDAL_OF_READONLY));
        OGRLayer* layer = dataset ? dataset->GetLayer(0) : nullptr;
        OGRFeatureUniquePtr read(layer ? layer->GetNextFeature() : nullptr);
        const bool late = read && read->GetRawFieldRef(0)->Date.Second != 0;
        dataset.reset();
        VSIRmdirRecursive(path);
        return late;
    }();
    return shifts;
}

bool holdsOldDates(OGRLayer& layer)
{
    const OGRFeatureDefn& definition = *layer.GetLayerDefn();
    std::vector<int> dates;
    for (int i = 0; i < definition.GetFieldCount(); ++i) {
        const OGRFieldType type = definition.GetFieldDefn(i)->GetType();
        if (type == OFTDate || type == OFTDateTime) dates.push_back(i);
    }
    if (dates.empty()) return false;
    bool old = false;
    {
        const OnlyFields only(layer, dates);
        layer.ResetReading();
        for (auto& feature : layer) {
            for (int i : dates)
                if (feature->IsFieldSetAndNotNull(i) && feature->GetRawFieldRef(i)->Date.Year < 1970) old = true;
            if (old) break;
        }
    }
    layer.ResetReading();
    return old;
}

// Tables known to hold no date before 1970, with their folder's files as
// they were then: the check reads every row, and no change here adds such
// a date, so after one of them the table need not be read again.
class DatesChecked {
public:
    bool known(const std::string& table, const std::vector<FileStamp>& files)
    {
        const std::lock_guard lock(mutex_);
        const auto found = tables_.find(table);
        return found != tables_.end() && found->second == files;
    }
    void remember(const std::string& table, std::vector<FileStamp> files)
    {
        const std::lock_guard lock(mutex_);
        tables_[table] = std::move(files);
    }

private:
    std::mutex mutex_;
    std::map<std::string, std::vector<FileStamp>> tables_;
};

DatesChecked datesChecked;

// Whether a field stored as `stored` holds every value of `asked`.
bool keepsEveryValue(OGRFieldType asked, OGRFieldType stored)
{
    if (asked == stored || stored == OFTString) return true;
    switch (asked) {
    case OFTInteger:
        return stored == OFTInteger64 || stored == OFTReal;
    case OFTDate:
    case OFTTime:
        return stored == OFTDateTime;
    default:
        return false;
    }
}

// One change and how to check it.
struct Change {
    std::string what;                   // as the reasons name it
    std::vector<std::string> untouched; // fields the change must leave as they were
    bool compacts = false; // reclaims the dead space of the rows it rewrote
    std::function<HResult(OGRLayer& layer)> make = {}; // on the copy's layer
    // What else the copy must hold afterwards; explained when it does not.
    std::function<HResult(OGRLayer& layer)> expect = {};
    // What each row of the copy must also hold, read with the rest, and
    // why not when a row does not.
    std::function<bool(const OGRFeature& row)> rowHolds = {};
    std::function<std::string(long long row)> rowFailure = {};
};

GDALDatasetUniquePtr openCopy(const std::string& path, unsigned flags, const char* const* options = nullptr)
{
    const char* const drivers[] = {"OpenFileGDB", nullptr};
    return GDALDatasetUniquePtr(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | flags, drivers, options));
}

// A table's files are named after its row in the system catalog: "a"
// and the row's number in eight hex digits, then a dot.
struct TableFiles {
    std::string own;                 // the changed table's name prefix
    std::vector<std::string> others; // every other user table's
};

// Empty where the catalog cannot be read: every file is then copied.
TableFiles tableFiles(const std::string& path, const std::string& table)
{
    const char* const options[] = {"LIST_ALL_TABLES=YES", nullptr};
    auto dataset = openCopy(path, GDAL_OF_READONLY, options);
    OGRLayer* catalog = dataset ? dataset->GetLayerByName("GDB_SystemCatalog") : nullptr;
    const int nameIndex = catalog ? catalog->GetLayerDefn()->GetFieldIndex("Name") : -1;
    TableFiles files;
    if (nameIndex < 0) return files;
    for (auto& row : *catalog) {
        const std::string name = row->GetFieldAsString(nameIndex);
        const std::string prefix = CPLSPrintf("a%08llx.", static_cast<unsigned long long>(row->GetFID()));
        if (EQUAL(name.c_str(), table.c_str()))
            files.own = prefix;
        else if (name.rfind("GDB_", 0) != 0)
            files.others.push_back(prefix);
    }
    return files;
}

bool startsWithAny(const std::string& file, const std::vector<std::string>& prefixes)
{
    const std::string lower = CPLString(file).tolower();
    return std::any_of(prefixes.begin(), prefixes.end(),
                       [&](const std::string& prefix) { return lower.rfind(prefix, 0) == 0; });
}

// The table's index files in `folder`.
std::vector<std::string> indexFiles(const std::string& folder, const std::string& own)
{
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        const std::string extension = entry.path().extension().string();
        if (startsWithAny(name, {own}) && (extension == ".spx" || extension == ".atx"))
            found.push_back(name);
    }
    return found;
}

std::vector<std::string> fieldsBut(const Table& table, const std::string& left)
{
    std::shared_ptr<const Schema> schema;
    std::vector<std::string> names;
    if (runtime::failed(table.schema(schema))) return names;
    for (const Field& f : schema->fields)
        if (left != f.name()) names.push_back(f.name());
    return names;
}

// Rows a change rewrites leave their old bytes behind as dead space, which
// GDAL's writer never reclaims; the copy is compacted before it is read
// back, so the read-back covers the compaction too. Compacting drops the
// table's indexes. No change here moves a geometry, changes an indexed
// value or renumbers a row, so each index is still what GDAL would
// rebuild, byte for byte; it is put back rather than rebuilt, which would
// cost a pass over the table and memory that grows with it.
HResult compact(GDALDataset& dataset, const Table& table, const std::string& what, const std::string& own)
{
    const fs::path folder = dataset.GetDescription();
    std::error_code ec;
    std::vector<std::string> kept;
    for (const std::string& index : indexFiles(folder.string(), own)) {
        fs::create_hard_link(folder / index, folder / (index + ".kept"), ec);
        if (!ec) kept.push_back(index);
    }
    bool done = false;
    const HResult hr = querySql(dataset, "REPACK " + table.name(),
                                [&](OGRFeature& row) { done = EQUAL(row.GetFieldAsString(0), "true"); });
    for (const std::string& index : kept) {
        if (!fs::exists(folder / index, ec)) fs::rename(folder / (index + ".kept"), folder / index, ec);
        fs::remove(folder / (index + ".kept"), ec);
    }
    if (runtime::succeeded(hr) && done) return runtime::S_OK;
    explain(reason::failed(table.displayName(), what, CPLGetLastErrorMsg()));
    return runtime::E_FAIL;
}

HResult changeCopy(const Table& table, const Format& format, const Change& change)
{
    const std::string& what = change.what;
    const std::string& path = table.dataset().path();
    const auto watched = format.watchedFiles(path);
    const auto original = stampsOf(watched);
    const std::string key = path + '\n' + table.name();
    const bool datesMove = shiftsOldDates();
    if (datesMove && !datesChecked.known(key, original)) {
        const Table::Rows rows = table.rows();
        if (rows.layer && holdsOldDates(*rows.layer)) {
            explain(reason::oldDatesWouldShift(table.displayName(), GDALVersionInfo("RELEASE_NAME")));
            return runtime::E_FAIL;
        }
    }
    std::unique_ptr<WorkCopy> copy;
    const TableFiles files = tableFiles(path, table.name());
    const auto others = [&](const std::string& file) { return startsWithAny(file, files.others); };
    HResult hr = WorkCopy::make(path, others, copy);
    if (runtime::failed(hr)) return hr;

    const QuietErrors quiet;
    CPLErrorReset();
    {
        const NoFreeSpaceReuse noReuse(copy->path());
        auto dataset = openCopy(copy->path(), GDAL_OF_UPDATE);
        OGRLayer* layer = dataset ? dataset->GetLayerByName(table.name().c_str()) : nullptr;
        if (!layer) {
            explain(reason::failed(table.displayName(), what, CPLGetLastErrorMsg()));
            return runtime::E_FAIL;
        }
        CPLErrorReset();
        if (runtime::failed(hr = change.make(*layer))) return hr;
        // Without the table's own files known, its indexes could not be
        // kept: the dead space is left rather than them lost.
        if (change.compacts && !files.own.empty() && runtime::failed(hr = compact(*dataset, table, what, files.own)))
            return hr;
    }
    // The original is as the copy was before the change: the swap refuses
    // a folder another program wrote meanwhile.
    auto originalData = openCopy(path, GDAL_OF_READONLY);
    auto dataset = openCopy(copy->path(), GDAL_OF_READONLY);
    OGRLayer* before = originalData ? originalData->GetLayerByName(table.name().c_str()) : nullptr;
    OGRLayer* layer = dataset ? dataset->GetLayerByName(table.name().c_str()) : nullptr;
    long long row = -1;
    bool rowFailed = false;
    const auto rowHolds = [&](const OGRFeature& now) {
        rowFailed = change.rowHolds && !change.rowHolds(now);
        return !rowFailed;
    };
    if (!before || !layer || !sameRows(*before, *layer, change.untouched, row, rowHolds)) {
        explain(rowFailed ? change.rowFailure(row) : reason::otherValuesChanged(table.displayName(), row));
        return runtime::E_FAIL;
    }
    originalData.reset();
    if (change.expect && runtime::failed(hr = change.expect(*layer))) return hr;
    dataset.reset();
    if (runtime::failed(hr = copy->swapIn(watched, original))) return hr;
    if (datesMove) datesChecked.remember(key, stampsOf(format.watchedFiles(path)));
    return hr;
}

class FileGdbFormat final : public Format {
public:
    HResult addField(const Table& table, const OGRFieldDefn& field, const std::string&) const override
    {
        const std::string what = reason::addingField(field.GetNameRef());
        return changeCopy(table, *this,
                          {.what = what,
                           .untouched = fieldsBut(table, ""),
                           .make =
                               [&](OGRLayer& layer) {
                                   OGRFieldDefn asked(&field);
                                   if (layer.CreateField(&asked, FALSE) != OGRERR_NONE)
                                       return explainFailure(table, what, runtime::E_FAIL);
                                   return madeAsNamed(layer, field, false) ? HResult(runtime::S_OK)
                                                                           : HResult(runtime::E_INVALIDARG);
                               },
                           // GDAL writes some types as others (a big integer as a double).
                           .expect = [&](OGRLayer& layer) {
                               const OGRFeatureDefn& definition = *layer.GetLayerDefn();
                               const int index = definition.GetFieldIndex(field.GetNameRef());
                               if (index >= 0 &&
                                   keepsEveryValue(field.GetType(), definition.GetFieldDefn(index)->GetType()))
                                   return HResult(runtime::S_OK);
                               explain(reason::unsupportedType("FileGDB", typeName(field)));
                               return HResult(runtime::E_NOTIMPL);
                           }});
    }

    HResult deleteField(const Table& table, const std::string& name) const override
    {
        const std::string what = reason::deletingField(name);
        return changeCopy(table, *this,
                          {.what = what,
                           .untouched = fieldsBut(table, name),
                           .compacts = true,
                           .make = [&](OGRLayer& layer) {
                               const int index = layer.GetLayerDefn()->GetFieldIndex(name.c_str());
                               if (index < 0 || layer.DeleteField(index) != OGRERR_NONE)
                                   return explainFailure(table, what, runtime::E_FAIL);
                               return HResult(runtime::S_OK);
                           }});
    }

    HResult copyColumn(const Table& table, const std::string& from, const std::string& to) const override
    {
        const std::string what = reason::copying(from, to);
        const auto indexes = [&](const OGRFeatureDefn& definition) {
            return std::pair{definition.GetFieldIndex(from.c_str()), definition.GetFieldIndex(to.c_str())};
        };
        return changeCopy(
            table, *this,
            {.what = what,
             .untouched = fieldsBut(table, to),
             // A rename's copy doubles the table; the deletion that ends
             // the rename compacts it, in one pass instead of two.
             .make =
                 [&](OGRLayer& layer) {
                     const auto [a, b] = indexes(*layer.GetLayerDefn());
                     return explainFailure(table, what,
                                           a < 0 || b < 0 ? runtime::E_INVALIDARG : copyEveryRow(layer, a, b));
                 },
             .rowHolds =
                 [&](const OGRFeature& row) {
                     const auto [a, b] = indexes(*row.GetDefnRef());
                     return a >= 0 && b >= 0 && sameValue(row, a, b);
                 },
             .rowFailure = [&](long long row) { return reason::copyNotReadBack(from, to, row); }});
    }
};

} // namespace

void registerFileGdbFormat(FormatRegistry& formats)
{
    static const FileGdbFormat format;
    formats.add("OpenFileGDB", format);
}

} // namespace engine
