// The shapefile .dbf writer: every change is a whole new file that keeps
// what it does not change byte for byte, and refuses, changing nothing, what
// the format or the moment does not allow.

#include "engine/shapefile/DbfRewrite.h"
#include "engine/shapefile/DbfHeader.h"
#include "engine/core/Progress.h"

#include "DataReadBack.h"
#include "EngineWatch.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>
#include <shapefil.h>

#include <QTemporaryDir>

#include <dlfcn.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>

namespace {

// While set, the write that starts at this offset lands with its last byte
// changed: a write the disk or the kernel got wrong.
off_t damageAt = -1;

} // namespace

extern "C" ssize_t pwrite(int fd, const void* data, size_t bytes, off_t offset)
{
    using Write = ssize_t (*)(int, const void*, size_t, off_t);
    static const auto real = reinterpret_cast<Write>(dlsym(RTLD_NEXT, "pwrite"));
    if (offset != damageAt || bytes == 0) return real(fd, data, bytes, offset);
    damageAt = -1;
    std::vector<char> damaged(static_cast<const char*>(data), static_cast<const char*>(data) + bytes);
    damaged.back() ^= 0x55;
    return real(fd, damaged.data(), bytes, offset);
}

namespace {

namespace fs = std::filesystem;
using runtime::S_OK;

std::string bytesOf(const std::string& path) { return gistest::filesUnder(path).at(path); }

struct Column {
    std::string name;
    char type;
    int width;
    int decimals;
};

// The table as raw bytes: each column's description and, by record, the
// deletion flag and each column's bytes.
struct RawTable {
    std::vector<Column> columns;
    std::vector<std::map<std::string, std::string>> records;
    std::vector<char> deleted;
    int languageDriver = -1;
};

RawTable readRaw(const std::string& path)
{
    RawTable table;
    const auto facts = engine::dbf::readHeader(path);
    if (facts) table.languageDriver = facts->languageDriver;
    DBFHandle dbf = DBFOpen(path.c_str(), "rb");
    if (!dbf) return table;
    std::vector<int> offsets;
    int offset = 1;
    for (int i = 0; i < DBFGetFieldCount(dbf); ++i) {
        char name[12] = {};
        Column c{};
        DBFGetFieldInfo(dbf, i, name, &c.width, &c.decimals);
        c.name = name;
        c.type = DBFGetNativeFieldType(dbf, i);
        table.columns.push_back(c);
        offsets.push_back(offset);
        offset += c.width;
    }
    for (int r = 0; r < DBFGetRecordCount(dbf); ++r) {
        const char* raw = DBFReadTuple(dbf, r);
        table.deleted.push_back(raw[0]);
        auto& record = table.records.emplace_back();
        for (std::size_t i = 0; i < table.columns.size(); ++i)
            record[table.columns[i].name] = std::string(raw + offsets[i], static_cast<std::size_t>(table.columns[i].width));
    }
    DBFClose(dbf);
    return table;
}

// A table like those users have: wide text, numbers with decimals, dates,
// a logical column, a record marked deleted, Latin-1 text, and a code page
// both in the header byte and in a .cpg.
class DbfWriter : public ::testing::Test {
protected:
    void SetUp() override
    {
        DBFHandle dbf = DBFCreateEx(path.c_str(), "LDID/87");
        ASSERT_TRUE(dbf);
        DBFAddNativeFieldType(dbf, "NAME", 'C', 254, 0);
        DBFAddNativeFieldType(dbf, "LABEL", 'C', 12, 0);
        DBFAddNativeFieldType(dbf, "AREA", 'N', 20, 8);
        DBFAddNativeFieldType(dbf, "COUNT", 'N', 9, 0);
        DBFAddNativeFieldType(dbf, "SEEN", 'D', 8, 0);
        DBFAddNativeFieldType(dbf, "WET", 'L', 1, 0);
        for (int r = 0; r < rows; ++r) {
            DBFWriteStringAttribute(dbf, r, 0, r % 7 == 0 ? "" : (std::string(200, 'x') + "\xE9t\xE9 " + std::to_string(r)).c_str());
            DBFWriteStringAttribute(dbf, r, 1, r % 3 == 0 ? "" : ("l" + std::to_string(r)).c_str());
            DBFWriteDoubleAttribute(dbf, r, 2, r * 1234.56789012 - 77.5);
            if (r % 5 == 0) DBFWriteNULLAttribute(dbf, r, 3); else DBFWriteIntegerAttribute(dbf, r, 3, r * 97);
            DBFWriteStringAttribute(dbf, r, 4, r % 4 == 0 ? "00000000" : ("19" + std::to_string(10 + r % 89) + "0612").c_str());
            DBFWriteLogicalAttribute(dbf, r, 5, r % 2 ? 'T' : 'F');
        }
        DBFMarkRecordDeleted(dbf, 3, TRUE);
        DBFClose(dbf);
        std::ofstream(folder.filePath("t.cpg").toStdString()) << "ISO-8859-1";
        before = readRaw(path);
        cpg = bytesOf(folder.filePath("t.cpg").toStdString());
    }

    void expectKept(const RawTable& after, const std::vector<std::string>& gone = {}) const
    {
        EXPECT_EQ(after.languageDriver, 87);
        EXPECT_EQ(after.deleted, before.deleted);
        ASSERT_EQ(after.records.size(), before.records.size());
        for (const Column& c : before.columns) {
            if (std::find(gone.begin(), gone.end(), c.name) != gone.end()) continue;
            const auto it = std::find_if(after.columns.begin(), after.columns.end(),
                                         [&](const Column& a) { return a.name == c.name; });
            ASSERT_NE(it, after.columns.end()) << c.name;
            EXPECT_EQ(it->type, c.type);
            EXPECT_EQ(it->width, c.width);
            EXPECT_EQ(it->decimals, c.decimals);
            for (std::size_t r = 0; r < before.records.size(); ++r)
                ASSERT_EQ(after.records[r].at(c.name), before.records[r].at(c.name)) << c.name << " row " << r;
        }
        EXPECT_EQ(bytesOf(folder.filePath("t.cpg").toStdString()), cpg);
    }

    QTemporaryDir folder;
    std::string path = folder.filePath("t.dbf").toStdString();
    static constexpr int rows = 500;
    RawTable before;
    std::string cpg;
};

TEST_F(DbfWriter, AddsAnEmptyFieldAndKeepsEveryByteOfTheOthers)
{
    OGRFieldDefn field("NOTE", OFTString);
    field.SetWidth(30);
    ASSERT_EQ(engine::dbf::addField(path, field), S_OK);
    const RawTable after = readRaw(path);
    expectKept(after);
    ASSERT_EQ(after.columns.back().name, "NOTE");
    EXPECT_EQ(after.columns.back().width, 30);
    for (const auto& record : after.records) EXPECT_EQ(record.at("NOTE"), std::string(30, ' '));
}

TEST_F(DbfWriter, DeletesAFieldAndKeepsEveryByteOfTheOthers)
{
    ASSERT_EQ(engine::dbf::deleteField(path, "AREA"), S_OK);
    const RawTable after = readRaw(path);
    expectKept(after, {"AREA"});
    EXPECT_EQ(after.columns.size(), before.columns.size() - 1);
}

// Same type and width: the bytes themselves; another width: the value,
// refitted, as long as it fits.
TEST_F(DbfWriter, CopiesAColumnByteForByteOrRefittedWhereItFits)
{
    struct Case {
        const char* to;
        OGRFieldType type;
        int width;
        int precision;
        const char* from;
    };
    const Case cases[] = {{"NAME2", OFTString, 254, 0, "NAME"}, {"AREA2", OFTReal, 20, 8, "AREA"},
                          {"SEEN2", OFTDate, 8, 0, "SEEN"}, {"LABEL2", OFTString, 40, 0, "LABEL"},
                          {"COUNT2", OFTInteger, 12, 0, "COUNT"}};
    for (const Case& c : cases) {
        OGRFieldDefn field(c.to, c.type);
        field.SetWidth(c.width);
        field.SetPrecision(c.precision);
        ASSERT_EQ(engine::dbf::addField(path, field), S_OK) << c.to;
        ASSERT_EQ(engine::dbf::copyColumn(path, c.from, c.to), S_OK) << c.to;
    }
    const RawTable after = readRaw(path);
    expectKept(after);
    for (const auto& record : after.records) {
        EXPECT_EQ(record.at("NAME2"), record.at("NAME"));
        EXPECT_EQ(record.at("AREA2"), record.at("AREA"));
        EXPECT_EQ(record.at("SEEN2"), record.at("SEEN"));
        EXPECT_EQ(record.at("LABEL2"), record.at("LABEL") + std::string(28, ' '));
        const std::string count = record.at("COUNT");
        EXPECT_EQ(record.at("COUNT2"), count.find_first_not_of('*') == std::string::npos ? std::string(12, '*') : "   " + count);
    }
}

TEST_F(DbfWriter, RefusesWhatTheFormatCannotHoldAndChangesNothing)
{
    const std::string bytes = bytesOf(path);
    gistest::Reasons reasons;

    OGRFieldDefn longName("Gr\xC3\xB6\xC3\x9F" "enklasse", OFTString); // 12 letters
    OGRFieldDefn notLatin1("\xE5\x90\x8D\xE5\x89\x8D", OFTString);      // two CJK letters
    OGRFieldDefn blob("SKETCH", OFTBinary);
    OGRFieldDefn wide("WIDE", OFTString);
    wide.SetWidth(300);
    OGRFieldDefn taken("label", OFTString);
    OGRFieldDefn narrow("LABEL3", OFTString);
    narrow.SetWidth(3);
    struct Case {
        const char* what;
        std::function<runtime::HResult()> change;
        const char* reason;
    };
    const Case cases[] = {
        {"a name of 11 bytes", [&] { return engine::dbf::addField(path, longName); }, "at most 10 bytes"},
        {"a name the code page lacks", [&] { return engine::dbf::addField(path, notLatin1); }, "cannot be written"},
        {"a binary field", [&] { return engine::dbf::addField(path, blob); }, "cannot hold a field of type Blob"},
        {"a width beyond 255", [&] { return engine::dbf::addField(path, wide); }, "1 to 255 characters"},
        {"a name taken, letter case aside", [&] { return engine::dbf::addField(path, taken); }, "already has"},
        {"a missing field", [&] { return engine::dbf::deleteField(path, "NOTHING"); }, "has no field"},
        {"a copy between types", [&] { return engine::dbf::copyColumn(path, "NAME", "AREA"); }, "different types"},
    };
    for (const Case& c : cases) {
        reasons.heard.clear();
        EXPECT_TRUE(runtime::failed(c.change())) << c.what;
        ASSERT_EQ(reasons.heard.size(), 1u) << c.what;
        EXPECT_NE(reasons.heard[0].find(c.reason), std::string::npos) << c.what << ": " << reasons.heard[0];
        EXPECT_EQ(bytesOf(path), bytes) << c.what;
    }

    // Values that do not fit a narrower field: the copy stops, the file stays.
    ASSERT_EQ(engine::dbf::addField(path, narrow), S_OK);
    const std::string withNarrow = bytesOf(path);
    reasons.heard.clear();
    EXPECT_TRUE(runtime::failed(engine::dbf::copyColumn(path, "LABEL", "LABEL3")));
    ASSERT_EQ(reasons.heard.size(), 1u);
    EXPECT_NE(reasons.heard[0].find("does not fit"), std::string::npos) << reasons.heard[0];
    EXPECT_EQ(bytesOf(path), withNarrow);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path().toStdString()), fs::directory_iterator()), 2)
        << "no new file is left behind";
}

// The name's length is counted in the file's own encoding.
TEST_F(DbfWriter, CountsNameBytesInTheFilesEncoding)
{
    OGRFieldDefn latin1("Gr\xC3\xB6\xC3\x9F" "enklas", OFTString); // 10 letters: 10 bytes in Latin-1, 12 in UTF-8
    ASSERT_EQ(engine::dbf::addField(path, latin1), S_OK);
    EXPECT_EQ(readRaw(path).columns.back().name, "Gr\xF6\xDF" "enklas");

    std::ofstream(folder.filePath("t.cpg").toStdString()) << "UTF-8";
    OGRFieldDefn utf8("Gr\xC3\xB6\xC3\x9F" "enklaz", OFTString);
    gistest::Reasons reasons;
    EXPECT_TRUE(runtime::failed(engine::dbf::addField(path, utf8)));
    ASSERT_EQ(reasons.heard.size(), 1u);
    EXPECT_NE(reasons.heard[0].find("takes 12 in UTF-8"), std::string::npos) << reasons.heard[0];
}

TEST_F(DbfWriter, LeavesAFileAnotherProgramChangedAlone)
{
    std::string theirs;
    const engine::ProgressListener meanwhile([&](const std::string& step, std::uint64_t, std::uint64_t) {
        if (step != "delete" || !theirs.empty()) return;
        DBFHandle dbf = DBFOpen(path.c_str(), "rb+");
        DBFWriteStringAttribute(dbf, 1, 1, "theirs");
        DBFClose(dbf);
        theirs = bytesOf(path);
    });
    gistest::Reasons reasons;
    EXPECT_TRUE(runtime::failed(engine::dbf::deleteField(path, "AREA")));
    ASSERT_FALSE(theirs.empty()) << "the other program wrote during the rewrite";
    ASSERT_EQ(reasons.heard.size(), 1u);
    EXPECT_NE(reasons.heard[0].find("changed by another program"), std::string::npos) << reasons.heard[0];
    EXPECT_EQ(bytesOf(path), theirs);
}

TEST_F(DbfWriter, KeepsTheFilesPermissionsAndClearsWhatACrashLeft)
{
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const std::string leftover = folder.filePath(".t.quillet-").toStdString() + gistest::deadPid + ".dbf";
    std::ofstream(leftover) << "half written";
    ASSERT_EQ(engine::dbf::deleteField(path, "WET"), S_OK);
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_FALSE(fs::exists(leftover));
}

// A table of four text fields of 255 characters (records of about a
// kilobyte, so that a few thousand span several blocks); every 333rd record
// deleted.
void writeWideTable(const std::string& path, int rows, bool endMark)
{
    DBFHandle dbf = DBFCreate(path.c_str());
    ASSERT_TRUE(dbf);
    DBFSetWriteEndOfFileChar(dbf, endMark);
    for (const char* name : {"A", "B", "C", "D"}) DBFAddNativeFieldType(dbf, name, 'C', 255, 0);
    for (int r = 0; r < rows; ++r) {
        for (int f = 0; f < 4; ++f) DBFWriteStringAttribute(dbf, r, f, (std::to_string(f) + "-" + std::to_string(r)).c_str());
        if (r % 333 == 0) DBFMarkRecordDeleted(dbf, r, TRUE);
    }
    DBFClose(dbf);
}

// Records move in blocks of about a megabyte: tables of none, one, and of
// records of a kilobyte across several blocks that end mid-block, with or
// without the end mark, keep every record and its deletion flag through a
// rename's three rewrites.
TEST(DbfBlocks, KeepEveryRecordAcrossBlockEdges)
{
    struct Case {
        int rows;
        bool endMark;
    };
    const Case cases[] = {{0, true}, {1, false}, {2500, true}, {2500, false}};
    for (const Case& c : cases) {
        const QTemporaryDir folder;
        const std::string path = folder.filePath("b.dbf").toStdString();
        writeWideTable(path, c.rows, c.endMark);
        const RawTable before = readRaw(path);
        const auto size = fs::file_size(path);

        OGRFieldDefn field("E", OFTString);
        field.SetWidth(255);
        ASSERT_EQ(engine::dbf::addField(path, field), S_OK) << c.rows;
        ASSERT_EQ(engine::dbf::copyColumn(path, "B", "E"), S_OK) << c.rows;
        ASSERT_EQ(engine::dbf::deleteField(path, "B"), S_OK) << c.rows;

        const RawTable after = readRaw(path);
        EXPECT_EQ(fs::file_size(path), size) << c.rows;
        EXPECT_EQ(engine::dbf::readHeader(path)->endMark, c.endMark) << c.rows;
        ASSERT_EQ(after.records.size(), before.records.size()) << c.rows;
        EXPECT_EQ(after.deleted, before.deleted) << c.rows;
        for (std::size_t r = 0; r < before.records.size(); ++r) {
            ASSERT_EQ(after.records[r].at("E"), before.records[r].at("B")) << c.rows << " row " << r;
            for (const char* kept : {"A", "C", "D"})
                ASSERT_EQ(after.records[r].at(kept), before.records[r].at(kept)) << c.rows << " row " << r;
        }
    }
}

// A block of records that lands on disk other than it was written is found
// before the new file takes the old one's place, with the row it holds: the
// old file stays as it was and no work file is left, whichever step it was.
TEST(DbfBlocks, ARecordThatLandsWrongIsFoundBeforeTheNewFileReplacesTheOld)
{
    struct Case {
        const char* step;
        int headerChange;
        std::function<runtime::HResult(const std::string&)> change;
    };
    OGRFieldDefn added("E", OFTString);
    added.SetWidth(255);
    const Case cases[] = {
        {"add", 32, [&](const std::string& path) { return engine::dbf::addField(path, added); }},
        {"copy", 0, [](const std::string& path) { return engine::dbf::copyColumn(path, "A", "B"); }},
        {"delete", -32, [](const std::string& path) { return engine::dbf::deleteField(path, "B"); }}};
    for (const Case& c : cases) {
        const QTemporaryDir folder;
        const std::string path = folder.filePath("b.dbf").toStdString();
        writeWideTable(path, 2500, true);
        const std::string before = bytesOf(path);
        const gistest::Reasons reasons;
        damageAt = static_cast<off_t>(engine::dbf::readHeader(path)->headerLength + c.headerChange);
        EXPECT_EQ(c.change(path), runtime::E_FAIL) << c.step;
        EXPECT_EQ(damageAt, -1) << c.step << ": the records were not written where expected";
        damageAt = -1;
        EXPECT_TRUE(reasons.mention("row ")) << c.step;
        EXPECT_EQ(bytesOf(path), before) << c.step;
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.path().toStdString()), fs::directory_iterator()), 1)
            << c.step;
    }
}

TEST(DbfHeader, ReadsTheFactsOfAHeaderAndRefusesWhatIsNone)
{
    unsigned char header[32] = {0x03, 124, 1, 2, 0x10, 0x27, 0, 0, 0x61, 0, 0x8A, 0, 0};
    header[29] = 0x57;
    const auto facts = engine::dbf::parseHeader(header, sizeof header);
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->version, 0x03);
    EXPECT_EQ(facts->records, 10000u);
    EXPECT_EQ(facts->headerLength, 97);
    EXPECT_EQ(facts->recordLength, 138);
    EXPECT_EQ(facts->languageDriver, 0x57);

    EXPECT_FALSE(engine::dbf::parseHeader(header, 31)) << "too short";
    header[8] = 32;
    EXPECT_FALSE(engine::dbf::parseHeader(header, sizeof header)) << "a header without room for its terminator";
    header[8] = 0x61;
    header[10] = 0;
    EXPECT_FALSE(engine::dbf::parseHeader(header, sizeof header)) << "records without a deletion flag";
}

} // namespace
