#include "engine/shapefile/DbfRewrite.h"

#include "engine/shapefile/DbfHeader.h"
#include "engine/shapefile/DbfIo.h"
#include "engine/core/FieldTypes.h"
#include "engine/core/FileStamp.h"
#include "engine/core/Log.h"
#include "engine/core/OgrEdits.h"
#include "engine/core/OgrStatus.h"
#include "engine/core/Progress.h"
#include "engine/core/Reasons.h"
#include "engine/core/WorkCopy.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <shapefil.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <memory>
#include <vector>

namespace engine::dbf {

using runtime::HResult;

namespace fs = std::filesystem;

namespace {

constexpr std::uint8_t dBase3 = 0x03;
constexpr std::size_t longestName = 10;
constexpr int widest = 255;
constexpr char formatName[] = "shapefile";

struct Column {
    std::string rawName; // as the file holds it
    char type = 'C';
    int width = 0;
    int decimals = 0;
    int offset = 0; // in a record, after the deletion flag
};

struct CloseDbf {
    void operator()(DBFHandle handle) const { DBFClose(handle); }
};
using DbfHandle = std::unique_ptr<DBFInfo, CloseDbf>;

struct OldTable {
    std::string path; // the file itself, links followed
    FileStamp stamp;
    HeaderFacts facts;
    std::string encoding; // GDAL's name of the file's encoding; empty: none
    std::vector<Column> columns;
    DbfHandle handle;
};

// What the new file holds: its columns and, for each, the old column its
// bytes come from (-1: empty).
struct Plan {
    std::vector<Column> columns;
    std::vector<int> from;
};

std::string recode(const std::string& text, const std::string& from, const std::string& to)
{
    if (from.empty() || to.empty()) return text;
    char* recoded = CPLRecode(text.c_str(), from.c_str(), to.c_str());
    std::string out = recoded ? recoded : "";
    CPLFree(recoded);
    return out;
}

HResult refuse(const std::string& path, const std::string& why)
{
    explain(reason::dbfNotRewritable(path, why));
    return runtime::E_FAIL;
}

HResult openOld(const std::string& path, OldTable& old)
{
    std::error_code ec;
    old.path = fs::canonical(path, ec).string();
    if (ec) return refuse(path, ec.message());
    old.stamp = stampOf(old.path);
    const auto facts = readHeader(old.path);
    if (!facts) return refuse(path, "it is not a dBASE table");
    if (facts->version != dBase3) return refuse(path, "its dBASE version is not the shapefile's (dBASE III)");
    old.facts = *facts;
    SAHooks hooks = bufferedHooks();
    old.handle.reset(DBFOpenLL(old.path.c_str(), "rb", &hooks));
    if (!old.handle) return refuse(path, "it cannot be read");
    int offset = 1;
    for (int i = 0; i < DBFGetFieldCount(old.handle.get()); ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        Column c;
        DBFGetFieldInfo(old.handle.get(), i, name, &c.width, &c.decimals);
        c.rawName = name;
        c.type = DBFGetNativeFieldType(old.handle.get(), i);
        c.offset = offset;
        offset += c.width;
        if (c.rawName.size() > longestName) return refuse(path, "a field name is longer than 10 bytes");
        old.columns.push_back(c);
    }
    if (offset != old.facts.recordLength || DBFGetRecordCount(old.handle.get()) != static_cast<int>(old.facts.records))
        return refuse(path, "its field descriptions do not match its records");
    old.encoding = HeaderView(old.path).encoding();
    return runtime::S_OK;
}

// The old column of this (UTF-8) name: exact, else letter case aside.
int columnNamed(const OldTable& old, const std::string& name)
{
    for (std::size_t i = 0; i < old.columns.size(); ++i)
        if (recode(old.columns[i].rawName, old.encoding, CPL_ENC_UTF8) == name) return static_cast<int>(i);
    for (std::size_t i = 0; i < old.columns.size(); ++i)
        if (EQUAL(recode(old.columns[i].rawName, old.encoding, CPL_ENC_UTF8).c_str(), name.c_str()))
            return static_cast<int>(i);
    return -1;
}

HResult findColumn(const OldTable& old, const std::string& name, int& index)
{
    index = columnNamed(old, name);
    if (index >= 0) return runtime::S_OK;
    explain(reason::noSuchField(old.path, name));
    return runtime::E_INVALIDARG;
}

void placeColumns(std::vector<Column>& columns)
{
    int offset = 1;
    for (Column& c : columns) {
        c.offset = offset;
        offset += c.width;
    }
}

// The filler of an empty value, as shapelib writes it for a new field.
char emptyFiller(char type)
{
    switch (type) {
    case 'N':
    case 'F':
        return '*';
    case 'D':
        return '0';
    case 'L':
        return '?';
    default:
        return ' ';
    }
}

// A value moved into a field of another width: text keeps its left edge,
// everything else its right edge. False when the value does not fit.
bool refit(const char* in, int inWidth, char* out, const Column& to)
{
    const char* first = in;
    const char* end = in + inWidth;
    while (end > first && end[-1] == ' ') --end;
    if (to.type != 'C')
        while (first < end && *first == ' ') ++first;
    const bool empty = first == end || std::all_of(first, end, [](char ch) { return ch == '*'; });
    if (empty) {
        std::memset(out, emptyFiller(to.type), static_cast<std::size_t>(to.width));
        return true;
    }
    const auto length = static_cast<int>(end - first);
    if (length > to.width) return false;
    std::memset(out, ' ', static_cast<std::size_t>(to.width));
    std::memcpy(to.type == 'C' ? out : out + to.width - length, first, static_cast<std::size_t>(length));
    return true;
}

// Removes the new file unless it took the old one's place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
    ~TemporaryFile()
    {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    const std::string& path() const noexcept { return path_; }
    void keep() { path_.clear(); }

private:
    std::string path_;
};

HResult ioFailure(const OldTable& old, const std::string& what)
{
    explain(reason::failed(old.path, what, lastIoError()));
    return runtime::E_FAIL;
}

HResult writeRecords(OldTable& old, const Plan& plan, DBFHandle out, const std::string& step)
{
    const int count = DBFGetRecordCount(old.handle.get());
    const Column& last = plan.columns.back();
    std::vector<char> record(static_cast<std::size_t>(last.offset + last.width));
    const bool counting = progressWanted();
    for (int r = 0; r < count; ++r) {
        const char* in = DBFReadTuple(old.handle.get(), r);
        if (!in) return ioFailure(old, "read record " + std::to_string(r));
        record[0] = in[0]; // the deletion flag
        for (std::size_t j = 0; j < plan.columns.size(); ++j) {
            const Column& to = plan.columns[j];
            char* target = record.data() + to.offset;
            if (plan.from[j] < 0) {
                std::memset(target, emptyFiller(to.type), static_cast<std::size_t>(to.width));
                continue;
            }
            const Column& from = old.columns[static_cast<std::size_t>(plan.from[j])];
            if (from.width == to.width)
                std::memcpy(target, in + from.offset, static_cast<std::size_t>(to.width));
            else if (!refit(in + from.offset, from.width, target, to)) {
                explain(reason::valueTooWide(recode(from.rawName, old.encoding, CPL_ENC_UTF8),
                                             recode(to.rawName, old.encoding, CPL_ENC_UTF8), r));
                return runtime::E_FAIL;
            }
        }
        if (!DBFWriteTuple(out, r, record.data())) return ioFailure(old, "write record " + std::to_string(r));
        if (counting && r % 8192 == 0) reportProgress(step, static_cast<std::uint64_t>(r), static_cast<std::uint64_t>(count));
    }
    return runtime::S_OK;
}

void setToday(DBFHandle handle)
{
    const std::time_t now = std::time(nullptr);
    std::tm today{};
    localtime_r(&now, &today);
    DBFSetLastModifiedDate(handle, today.tm_year, today.tm_mon + 1, today.tm_mday);
}

// The new file has the old one's owner and permissions.
void takeOver(const std::string& old, const std::string& made)
{
    struct stat info {};
    if (stat(old.c_str(), &info) != 0) return;
    if (chown(made.c_str(), info.st_uid, info.st_gid) != 0) {
        // Only the owner's own files can be handed to him; the mode still can.
    }
    chmod(made.c_str(), info.st_mode & 07777);
}

// Reads the new file back; the reason it is not as meant, or empty.
using Check = std::function<std::string(const std::string& made)>;

HResult checkWhole(const OldTable& old, const Plan& plan, const std::string& made)
{
    const auto facts = readHeader(made);
    const Column& last = plan.columns.back();
    if (facts && facts->records == old.facts.records && facts->endMark == old.facts.endMark &&
        facts->recordLength == last.offset + last.width)
        return runtime::S_OK;
    explain(reason::failed(old.path, "write a whole new table", "the new file did not read back whole"));
    return runtime::E_FAIL;
}

HResult unchanged(const OldTable& old)
{
    if (stampOf(old.path) == old.stamp) return runtime::S_OK;
    explain(reason::changedByOthers(old.path));
    return runtime::E_FAIL;
}

HResult rewrite(OldTable& old, const Plan& plan, const std::string& step, const Check& check = {})
{
    if (plan.columns.empty()) return refuse(old.path, "a table keeps at least one field");
    HResult hr = unchanged(old);
    if (runtime::failed(hr)) return hr;
    // shapelib names the file it writes .dbf, whatever the name given.
    const std::string target = fs::path(old.path).replace_extension(".dbf").string();
    WorkCopy::recover(target);
    TemporaryFile made(workPathOf(target));
    clearIoError();
    {
        SAHooks hooks = bufferedHooks();
        const std::string codePage =
            old.facts.languageDriver ? "LDID/" + std::to_string(old.facts.languageDriver) : std::string();
        DbfHandle out(DBFCreateLL(made.path().c_str(), codePage.empty() ? nullptr : codePage.c_str(), &hooks));
        if (!out) return ioFailure(old, "write a new table beside it");
        for (const Column& c : plan.columns)
            if (DBFAddNativeFieldType(out.get(), c.rawName.c_str(), c.type, c.width, c.decimals) < 0)
                return ioFailure(old, reason::describingField(c.rawName));
        setToday(out.get());
        DBFSetWriteEndOfFileChar(out.get(), old.facts.endMark);
        if (runtime::failed(hr = writeRecords(old, plan, out.get(), step))) return hr;
    }
    if (!lastIoError().empty()) return ioFailure(old, "write a new table beside it");
    takeOver(old.path, made.path());
    if (runtime::failed(hr = checkWhole(old, plan, made.path()))) return hr;
    // The new file goes to the disk while it is read back.
    std::future<std::string> readBack;
    if (check) readBack = std::async(std::launch::async, check, made.path());
    const bool synced = syncPath(made.path());
    const std::string notAsMeant = check ? readBack.get() : std::string();
    if (!synced) {
        explain(reason::failed(old.path, "write a new table beside it", std::strerror(errno)));
        return runtime::E_FAIL;
    }
    if (!notAsMeant.empty()) {
        explain(notAsMeant);
        return runtime::E_FAIL;
    }
    if (runtime::failed(hr = unchanged(old))) return hr;
    reportProgress("swap", 0, 1);
    if (std::rename(made.path().c_str(), old.path.c_str()) != 0) {
        explain(reason::failed(old.path, "put the new table in its place", std::strerror(errno)));
        return runtime::E_FAIL;
    }
    made.keep();
    syncPath(fs::path(old.path).parent_path());
    reportProgress("swap", 1, 1);
    return runtime::S_OK;
}

Plan keepAll(const OldTable& old)
{
    Plan plan{old.columns, {}};
    for (std::size_t i = 0; i < old.columns.size(); ++i) plan.from.push_back(static_cast<int>(i));
    return plan;
}

// dBASE's description of a new field, as GDAL's shapefile driver makes it;
// a date and time is refused, as the file would keep the date only.
HResult describe(const OGRFieldDefn& field, Column& column)
{
    const int width = field.GetWidth();
    switch (field.GetType()) {
    case OFTInteger:
        column = {"", 'N', width ? width : 9, 0, 0};
        break;
    case OFTInteger64:
        column = {"", 'N', width ? width : 18, 0, 0};
        break;
    case OFTReal:
        column = width ? Column{"", 'N', width, field.GetPrecision(), 0} : Column{"", 'N', 24, 15, 0};
        break;
    case OFTString:
        column = {"", 'C', width ? width : 80, 0, 0};
        break;
    case OFTDate:
        column = {"", 'D', 8, 0, 0};
        break;
    default:
        explain(reason::unsupportedType(formatName, typeName(field)));
        return runtime::E_NOTIMPL;
    }
    if (column.width < 1 || column.width > widest) {
        explain(reason::badWidth(formatName, field.GetNameRef(), column.width, widest));
        return runtime::E_INVALIDARG;
    }
    return runtime::S_OK;
}

// The name as the file holds it: in its encoding, at most 10 bytes.
HResult fileName(const OldTable& old, const std::string& name, std::string& raw)
{
    const QuietErrors quiet;
    raw = recode(name, CPL_ENC_UTF8, old.encoding);
    const std::string encoding = old.encoding.empty() ? "UTF-8" : old.encoding;
    if (raw.empty() || recode(raw, old.encoding, CPL_ENC_UTF8) != name) {
        explain(reason::nameNotEncodable(name, encoding));
        return runtime::E_INVALIDARG;
    }
    if (raw.size() > longestName) {
        explain(reason::nameTooLong(formatName, name, raw.size(), longestName, encoding));
        return runtime::E_INVALIDARG;
    }
    return runtime::S_OK;
}

// Whether the two columns of the new file hold the same values, as GDAL
// reads them; runs beside the main thread, so it explains nothing itself.
std::string readBack(const std::string& made, int a, int b, const std::string& from, const std::string& to)
{
    const QuietErrors quiet;
    const char* const drivers[] = {"ESRI Shapefile", nullptr};
    const char* const options[] = {"ENCODING=", nullptr};
    GDALDatasetUniquePtr dataset(GDALDataset::Open(made.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers, options));
    OGRLayer* layer = dataset ? dataset->GetLayer(0) : nullptr;
    long long row = -1;
    return layer && columnsMatch(*layer, a, b, row) ? std::string() : reason::copyNotReadBack(from, to, row);
}

} // namespace

HeaderView::HeaderView(const std::string& dbfPath)
{
    static std::atomic<unsigned> views{0};
    folder_ = "/vsimem/quillet-dbf-" + std::to_string(getpid()) + "-" + std::to_string(++views);
    const fs::path source(dbfPath);
    const std::string header = headerOnly(dbfPath);
    if (header.empty()) return;
    const auto place = [&](const std::string& name, const std::string& bytes) {
        VSILFILE* file = VSIFOpenL((folder_ + "/" + name).c_str(), "wb");
        if (!file) return false;
        const bool written = VSIFWriteL(bytes.data(), 1, bytes.size(), file) == bytes.size();
        return VSIFCloseL(file) == 0 && written;
    };
    const std::string stem = source.stem().string();
    VSIMkdir(folder_.c_str(), 0755);
    if (!place(stem + ".dbf", header)) return;
    // The code page a .cpg names counts before the header's.
    for (const char* extension : {".cpg", ".CPG"}) {
        std::ifstream cpg(fs::path(source).replace_extension(extension), std::ios::binary);
        if (!cpg) continue;
        const std::string bytes{std::istreambuf_iterator<char>(cpg), std::istreambuf_iterator<char>()};
        place(stem + ".cpg", bytes);
        break;
    }
    const QuietErrors quiet;
    const char* const drivers[] = {"ESRI Shapefile", nullptr};
    dataset_.reset(GDALDataset::Open((folder_ + "/" + stem + ".dbf").c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers));
}

HeaderView::~HeaderView()
{
    dataset_.reset();
    VSIRmdirRecursive(folder_.c_str());
}

OGRLayer* HeaderView::layer() const { return dataset_ ? dataset_->GetLayer(0) : nullptr; }

std::string HeaderView::encoding() const
{
    OGRLayer* table = layer();
    const char* encoding = table ? table->GetMetadataItem("SOURCE_ENCODING", "SHAPEFILE") : nullptr;
    return encoding ? encoding : "";
}

std::string dbfPathOf(const std::string& datasetPath, const std::string& layer)
{
    std::error_code ec;
    const fs::path base = fs::is_directory(datasetPath, ec) ? fs::path(datasetPath) / layer : fs::path(datasetPath);
    for (const char* extension : {".dbf", ".DBF"}) {
        const fs::path candidate = fs::path(base).replace_extension(extension);
        if (fs::exists(candidate, ec)) return candidate.string();
    }
    return fs::path(base).replace_extension(".dbf").string();
}

HResult addField(const std::string& dbfPath, const OGRFieldDefn& field)
{
    OldTable old;
    Column column;
    HResult hr = openOld(dbfPath, old);
    if (runtime::failed(hr) || runtime::failed(hr = describe(field, column)) ||
        runtime::failed(hr = fileName(old, field.GetNameRef(), column.rawName)))
        return hr;
    if (columnNamed(old, field.GetNameRef()) >= 0) {
        explain(reason::nameTaken(old.path, field.GetNameRef()));
        return runtime::E_INVALIDARG;
    }
    Plan plan = keepAll(old);
    plan.columns.push_back(column);
    plan.from.push_back(-1);
    placeColumns(plan.columns);
    return rewrite(old, plan, "add");
}

HResult deleteField(const std::string& dbfPath, const std::string& name)
{
    OldTable old;
    int index = -1;
    HResult hr = openOld(dbfPath, old);
    if (runtime::failed(hr) || runtime::failed(hr = findColumn(old, name, index))) return hr;
    Plan plan = keepAll(old);
    plan.columns.erase(plan.columns.begin() + index);
    plan.from.erase(plan.from.begin() + index);
    placeColumns(plan.columns);
    return rewrite(old, plan, "delete");
}

HResult copyColumn(const std::string& dbfPath, const std::string& from, const std::string& to)
{
    OldTable old;
    int source = -1;
    int target = -1;
    HResult hr = openOld(dbfPath, old);
    if (runtime::failed(hr) || runtime::failed(hr = findColumn(old, from, source)) ||
        runtime::failed(hr = findColumn(old, to, target)))
        return hr;
    const Column& a = old.columns[static_cast<std::size_t>(source)];
    const Column& b = old.columns[static_cast<std::size_t>(target)];
    const auto numeric = [](char type) { return type == 'N' || type == 'F'; };
    if (a.type != b.type && !(numeric(a.type) && numeric(b.type))) {
        explain(reason::typesDiffer(from, to));
        return runtime::E_INVALIDARG;
    }
    if (source == target) return runtime::S_OK;
    Plan plan = keepAll(old);
    plan.from[static_cast<std::size_t>(target)] = source;
    return rewrite(old, plan, "copy",
                   [&](const std::string& made) { return readBack(made, source, target, from, to); });
}

} // namespace engine::dbf
