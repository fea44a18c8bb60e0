#include "engine/shapefile/DbfRewrite.h"

#include "engine/shapefile/DbfHeader.h"
#include "engine/shapefile/DbfIo.h"
#include "engine/core/FieldTypes.h"
#include "engine/core/FileStamp.h"
#include "engine/core/Log.h"
#include "engine/core/OgrStatus.h"
#include "engine/core/Progress.h"
#include "engine/core/Reasons.h"
#include "engine/core/WorkCopy.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <shapefil.h>

#include <fcntl.h>
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
#include <optional>
#include <vector>

namespace engine::dbf {

using runtime::HResult;

namespace fs = std::filesystem;

namespace {

constexpr std::uint8_t dBase3 = 0x03;
constexpr std::size_t longestName = 10;
constexpr int widest = 255;
constexpr char formatName[] = "shapefile";
// Records move in blocks of about this size: few system calls, and memory
// that does not grow with the table.
constexpr std::size_t blockBytes = 1 << 20;

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
    std::optional<Descriptor> file;
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
    old.file.emplace(old.path, O_RDONLY);
    SAHooks hooks = reportingHooks();
    const DbfHandle handle(DBFOpenLL(old.path.c_str(), "rb", &hooks));
    if (!*old.file || !handle) return refuse(path, "it cannot be read");
    int offset = 1;
    for (int i = 0; i < DBFGetFieldCount(handle.get()); ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        Column c;
        DBFGetFieldInfo(handle.get(), i, name, &c.width, &c.decimals);
        c.rawName = name;
        c.type = DBFGetNativeFieldType(handle.get(), i);
        c.offset = offset;
        offset += c.width;
        if (c.rawName.size() > longestName) return refuse(path, "a field name is longer than 10 bytes");
        old.columns.push_back(c);
    }
    if (offset != old.facts.recordLength || DBFGetRecordCount(handle.get()) != static_cast<int>(old.facts.records))
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

// How the new records are made from the old ones: runs of bytes copied,
// empty values, values refitted to another width.
class Transform {
public:
    Transform(const OldTable& old, const Plan& plan) : old_(old), plan_(plan)
    {
        add({Move::copy, 0, 0, 1, 0}); // the deletion flag
        for (std::size_t j = 0; j < plan.columns.size(); ++j) {
            const Column& to = plan.columns[j];
            if (plan.from[j] < 0) {
                add({Move::fill, to.offset, 0, to.width, j});
                continue;
            }
            const Column& from = old.columns[static_cast<std::size_t>(plan.from[j])];
            add({from.width == to.width ? Move::copy : Move::refit, to.offset, from.offset, to.width, j});
        }
    }

    std::size_t inLength() const { return old_.facts.recordLength; }
    std::size_t outLength() const
    {
        const Column& last = plan_.columns.back();
        return static_cast<std::size_t>(last.offset + last.width);
    }

    // Makes `count` records; false when a value does not fit its new
    // field, which is explained if `say`.
    bool apply(const char* in, char* out, std::size_t count, std::uint32_t firstRow, bool say) const
    {
        for (std::size_t r = 0; r < count; ++r, in += inLength(), out += outLength())
            for (const Move& m : moves_)
                if (!make(m, in, out)) {
                    if (say) tooWide(m, firstRow + r);
                    return false;
                }
        return true;
    }

private:
    struct Move {
        enum Kind { copy, fill, refit } kind;
        int to;    // offset in the new record
        int from;  // offset in the old record
        int width; // in the new record
        std::size_t column; // the new column
    };

    // A copy that continues the previous one joins it.
    void add(const Move& m)
    {
        if (!moves_.empty()) {
            Move& last = moves_.back();
            if (m.kind == Move::copy && last.kind == Move::copy && last.to + last.width == m.to &&
                last.from + last.width == m.from) {
                last.width += m.width;
                return;
            }
        }
        moves_.push_back(m);
    }

    bool make(const Move& m, const char* in, char* out) const
    {
        const auto width = static_cast<std::size_t>(m.width);
        switch (m.kind) {
        case Move::copy:
            std::memcpy(out + m.to, in + m.from, width);
            return true;
        case Move::fill:
            std::memset(out + m.to, emptyFiller(plan_.columns[m.column].type), width);
            return true;
        case Move::refit:
            return refit(in + m.from, fromColumn(m).width, out + m.to, plan_.columns[m.column]);
        }
        return false;
    }

    const Column& fromColumn(const Move& m) const
    {
        return old_.columns[static_cast<std::size_t>(plan_.from[m.column])];
    }

    void tooWide(const Move& m, std::uint32_t row) const
    {
        explain(reason::valueTooWide(recode(fromColumn(m).rawName, old_.encoding, CPL_ENC_UTF8),
                                     recode(plan_.columns[m.column].rawName, old_.encoding, CPL_ENC_UTF8), row));
    }

    const OldTable& old_;
    const Plan& plan_;
    std::vector<Move> moves_;
};

// The records of a table, a block at a time, and the memory they move
// through: the read-back reuses the writer's, as fresh memory costs a page
// fault a page. A small table's block is no larger than the table.
struct Blocks {
    std::uint32_t records;
    std::uint32_t perBlock;
    std::vector<char> old;  // old records
    std::vector<char> made; // new records

    Blocks(std::uint32_t records, const Transform& transform)
        : records(records),
          perBlock(static_cast<std::uint32_t>(std::clamp<std::size_t>(
              blockBytes / std::max(transform.inLength(), transform.outLength()), 1, std::max(records, 1u)))),
          old(perBlock * transform.inLength()), made(perBlock * transform.outLength())
    {
    }
    std::size_t countFrom(std::uint32_t first) const { return std::min(perBlock, records - first); }
};

off_t recordAt(const HeaderFacts& facts, std::uint32_t row)
{
    return facts.headerLength + off_t{row} * facts.recordLength;
}

HResult writeRecords(const OldTable& old, const Transform& transform, Blocks& blocks, int out,
                     const HeaderFacts& made, const std::string& step)
{
    for (std::uint32_t first = 0; first < blocks.records; first += blocks.perBlock) {
        const std::size_t count = blocks.countFrom(first);
        if (!readAt(old.file->fd(), blocks.old.data(), count * transform.inLength(), recordAt(old.facts, first)))
            return ioFailure(old, "read record " + std::to_string(first));
        if (!transform.apply(blocks.old.data(), blocks.made.data(), count, first, true)) return runtime::E_FAIL;
        const std::size_t bytes = count * transform.outLength();
        if (!writeAt(out, blocks.made.data(), bytes, recordAt(made, first)))
            return ioFailure(old, "write a new table beside it");
        // The disk starts on it now, so that the final flush waits less.
        sync_file_range(out, recordAt(made, first), static_cast<off_t>(bytes), SYNC_FILE_RANGE_WRITE);
        reportProgress(step, first + count, blocks.records);
    }
    return runtime::S_OK;
}

// The first row of the new file that does not hold what the old one makes
// (-1: one that cannot be read); none when all do. Runs beside the main
// thread, so it explains nothing itself.
std::optional<long long> firstAmiss(const OldTable& old, const Transform& transform, Blocks& blocks,
                                    const std::string& made, const HeaderFacts& facts)
{
    const Descriptor file(made, O_RDONLY);
    if (!file) return -1;
    std::vector<char>& meant = blocks.made;
    std::vector<char> written(meant.size());
    for (std::uint32_t first = 0; first < blocks.records; first += blocks.perBlock) {
        const std::size_t count = blocks.countFrom(first);
        const std::size_t bytes = count * transform.outLength();
        if (!readAt(old.file->fd(), blocks.old.data(), count * transform.inLength(), recordAt(old.facts, first)) ||
            !readAt(file.fd(), written.data(), bytes, recordAt(facts, first)))
            return -1;
        if (!transform.apply(blocks.old.data(), meant.data(), count, first, false)) return first;
        if (std::memcmp(meant.data(), written.data(), bytes) == 0) continue;
        const auto at = std::mismatch(meant.begin(), meant.begin() + static_cast<std::ptrdiff_t>(bytes), written.begin());
        return first + (at.first - meant.begin()) / static_cast<std::ptrdiff_t>(transform.outLength());
    }
    return std::nullopt;
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

// What to say when row `row` of the new file does not read back as meant
// (-1: a row could not be read).
using NotReadBack = std::function<std::string(long long row)>;

HResult unchanged(const OldTable& old)
{
    if (stampOf(old.path) == old.stamp) return runtime::S_OK;
    explain(reason::changedByOthers(old.path));
    return runtime::E_FAIL;
}

// The new file's header, written by shapelib: the file holds it alone.
HResult writeHeader(const OldTable& old, const Plan& plan, const std::string& path, std::size_t recordLength,
                    HeaderFacts& facts)
{
    {
        SAHooks hooks = reportingHooks();
        const std::string codePage =
            old.facts.languageDriver ? "LDID/" + std::to_string(old.facts.languageDriver) : std::string();
        DbfHandle out(DBFCreateLL(path.c_str(), codePage.empty() ? nullptr : codePage.c_str(), &hooks));
        if (!out) return ioFailure(old, "write a new table beside it");
        for (const Column& c : plan.columns)
            if (DBFAddNativeFieldType(out.get(), c.rawName.c_str(), c.type, c.width, c.decimals) < 0)
                return ioFailure(old, reason::describingField(c.rawName));
        setToday(out.get());
        // The end mark follows the records (endRecords).
        DBFSetWriteEndOfFileChar(out.get(), false);
    }
    const auto written = readHeader(path);
    if (!lastIoError().empty() || !written || written->recordLength != recordLength)
        return ioFailure(old, "write a new table beside it");
    facts = *written;
    facts.records = old.facts.records;
    facts.endMark = old.facts.endMark;
    return runtime::S_OK;
}

HResult checkWhole(const OldTable& old, const HeaderFacts& meant, const std::string& made)
{
    const auto facts = readHeader(made);
    if (facts && facts->records == meant.records && facts->endMark == meant.endMark &&
        facts->recordLength == meant.recordLength)
        return runtime::S_OK;
    explain(reason::failed(old.path, "write a whole new table", "the new file did not read back whole"));
    return runtime::E_FAIL;
}

HResult notWritten(const OldTable& old, int error)
{
    explain(reason::failed(old.path, "write a new table beside it", std::strerror(error)));
    return runtime::E_FAIL;
}

HResult rewrite(OldTable& old, const Plan& plan, const std::string& step, const NotReadBack& notReadBack)
{
    if (plan.columns.empty()) return refuse(old.path, "a table keeps at least one field");
    HResult hr = unchanged(old);
    if (runtime::failed(hr)) return hr;
    // shapelib names the file it writes .dbf, whatever the name given.
    const std::string target = fs::path(old.path).replace_extension(".dbf").string();
    WorkCopy::recover(target);
    TemporaryFile made(workPathOf(target));
    clearIoError();
    const Transform transform(old, plan);
    HeaderFacts facts;
    if (runtime::failed(hr = writeHeader(old, plan, made.path(), transform.outLength(), facts))) return hr;
    Descriptor out(made.path(), O_WRONLY);
    if (!out) return notWritten(old, errno);
    Blocks blocks(old.facts.records, transform);
    if (runtime::failed(hr = writeRecords(old, transform, blocks, out.fd(), facts, step))) return hr;
    if (!endRecords(out.fd(), facts)) return ioFailure(old, "write a new table beside it");
    takeOver(old.path, made.path());
    if (runtime::failed(hr = checkWhole(old, facts, made.path()))) return hr;
    // The new file goes to the disk while it is read back.
    auto readBack = std::async(std::launch::async, [&] { return firstAmiss(old, transform, blocks, made.path(), facts); });
    const int syncError = fsync(out.fd()) == 0 && out.close() ? 0 : errno;
    const auto amiss = readBack.get();
    if (syncError) return notWritten(old, syncError);
    if (runtime::failed(hr = unchanged(old))) return hr;
    if (amiss) {
        explain(notReadBack(*amiss));
        return runtime::E_FAIL;
    }
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

// What to say when a rewrite that copies nothing does not read back.
NotReadBack notAsWritten(const OldTable& old)
{
    return [&old](long long row) {
        const std::string where = row < 0 ? "a row could not be read" : "row " + std::to_string(row);
        return reason::failed(old.path, "write a whole new table", "the new file did not read back as written: " + where);
    };
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
    return rewrite(old, plan, "add", notAsWritten(old));
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
    return rewrite(old, plan, "delete", notAsWritten(old));
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
    return rewrite(old, plan, "copy", [&](long long row) { return reason::copyNotReadBack(from, to, row); });
}

} // namespace engine::dbf
