// FileGDB through GDAL's writer, which on this GDAL can leave rows it was
// not asked to touch unreadable while answering success: a rename through
// the real dialog on data like users have keeps every row and value, or
// fails and changes nothing; a crash between the two steps of putting the
// new copy in place is undone at the next open.

#include "EngineWatch.h"
#include "GisTestSupport.h"

#include "dialog/Messages.h"
#include "engine/core/OgrStatus.h"
#include "gishost/sample/SampleData.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

// A small deterministic generator, so that every run sees the same data.
class Numbers {
public:
    double next() { return static_cast<double>((state_ = state_ * 6364136223846793005ull + 1442695040888963407ull) >> 11) / 9007199254740992.0; }
    int between(int low, int high) { return low + static_cast<int>(next() * (high - low + 1)); }
    std::string word()
    {
        std::string w(static_cast<std::size_t>(between(3, 12)), 'a');
        for (char& c : w) c = static_cast<char>('a' + between(0, 25));
        w[0] = static_cast<char>(w[0] - 'a' + 'A');
        return w;
    }

private:
    std::uint64_t state_ = 2;
};

// Counties as a user has them: multipolygons of 1 to 5 parts and up to 200
// vertices each, fourteen attributes of every kind, some of them null.
std::string writeCounties(const fs::path& folder, int foundedFrom)
{
    const std::string path = (folder / "counties.gdb").string();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("OpenFileGDB");
    GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    OGRSpatialReference srs;
    srs.importFromEPSG(4326);
    OGRLayer* layer = dataset->CreateLayer("counties", &srs, wkbMultiPolygon, nullptr);
    const std::pair<const char*, OGRFieldType> fields[] = {
        {"NAME", OFTString},  {"STATE", OFTString}, {"FIPS", OFTString},    {"POP", OFTInteger},
        {"AREA", OFTReal},    {"DENS", OFTReal},    {"CODE", OFTInteger},   {"SEAT", OFTString},
        {"FOUNDED", OFTDate}, {"HH", OFTInteger},   {"INCOME", OFTReal},    {"REGION", OFTString},
        {"NOTE", OFTString},  {"RANK", OFTInteger}};
    for (const auto& [name, type] : fields) {
        OGRFieldDefn field(name, type);
        if (type == OFTString) field.SetWidth(std::string(name) == "NOTE" ? 80 : 32);
        EXPECT_EQ(layer->CreateField(&field), OGRERR_NONE);
    }
    Numbers n;
    for (int row = 0; row < 100; ++row) {
        OGRFeature f(layer->GetLayerDefn());
        OGRMultiPolygon shape;
        const double cx = -120 + n.next() * 50, cy = 25 + n.next() * 23;
        for (int part = n.between(1, 5); part > 0; --part) {
            OGRLinearRing ring;
            const int vertices = n.between(4, 200);
            const double radius = 0.05 + n.next() * 0.45;
            for (int k = 0; k < vertices; ++k) {
                const double a = 2 * M_PI * k / vertices, r = radius * (0.7 + 0.3 * n.next());
                ring.addPoint(cx + part * 1.1 + r * std::cos(a), cy + r * std::sin(a));
            }
            ring.closeRings();
            OGRPolygon polygon;
            polygon.addRing(&ring);
            shape.addGeometry(&polygon);
        }
        f.SetGeometry(&shape);
        f.SetField("NAME", (n.word() + (n.next() < 0.5 ? " " + n.word() : "")).c_str());
        f.SetField("STATE", n.word().c_str());
        f.SetField("FIPS", std::to_string(n.between(10000, 99999)).c_str());
        f.SetField("POP", n.between(100, 5000000));
        f.SetField("AREA", 10 + n.next() * 20000);
        f.SetField("DENS", n.next() * 3000);
        f.SetField("CODE", n.between(0, 999));
        f.SetField("SEAT", n.word().c_str());
        f.SetField(f.GetFieldIndex("FOUNDED"), n.between(foundedFrom, foundedFrom + 40), n.between(1, 12),
                   n.between(1, 28));
        if (row % 7 == 3) f.SetFieldNull(f.GetFieldIndex("HH"));
        else f.SetField("HH", n.between(10, 100000));
        f.SetField("INCOME", 20000 + n.next() * 130000);
        f.SetField("REGION", n.word().c_str());
        std::string note;
        for (int w = n.between(0, 8); w > 0; --w) note += n.word() + " ";
        f.SetField("NOTE", note.c_str());
        f.SetField("RANK", row);
        EXPECT_EQ(layer->CreateFeature(&f), OGRERR_NONE);
    }
    return path;
}

// Every row as GDAL reads it, and whether any row could not be read.
struct Reading {
    gistest::LayerContent content;
    bool errors = false;
};

Reading readAll(const std::string& path, const std::string& layer)
{
    const engine::QuietErrors quiet;
    CPLErrorReset();
    Reading reading{gistest::readLayer(path, layer)};
    reading.errors = CPLGetLastErrorType() >= CE_Failure;
    return reading;
}

// The layer reads without an error and holds `before` after these
// deletions and renames.
void expectChanged(const std::string& path, const Reading& before, const std::vector<std::string>& deleted,
                   const std::vector<std::pair<std::string, std::string>>& renamed)
{
    const Reading after = readAll(path, "counties");
    EXPECT_FALSE(after.errors);
    const auto expected = gistest::changed(before.content, deleted, renamed);
    for (const auto& [fid, row] : expected.rows) EXPECT_EQ(after.content.rows.at(fid), row) << "row " << fid;
}

class FileGdb : public ::testing::Test {
protected:
    QTemporaryDir folder;
    fs::path root = folder.path().toStdString();
};

TEST_F(FileGdb, ARenameOfRealDataKeepsEveryRowAndValue)
{
    const std::string path = writeCounties(root, 1971);
    const Reading before = readAll(path, "counties");
    ASSERT_FALSE(before.errors);
    {
        const gistest::Host host({path});
        gistest::Dialog dialog;
        dialog.rename("counties", {"NAME", "CNTY_NAME"});
        dialog.deleteFields("counties", {"DENS", "SEAT"});
        dialog.rename("counties", {"NOTE", "REMARK"});
        EXPECT_EQ(gistest::messages(dialog.ui),
                  (std::vector<std::string>{quillet::text::renamed.toStdString(), quillet::text::confirmDelete.toStdString(),
                                            quillet::text::deletedAll.toStdString(), quillet::text::renamed.toStdString()}));
    }
    const Reading after = readAll(path, "counties");
    ASSERT_EQ(after.content.rows.size(), 100u);
    EXPECT_EQ(after.content.geometries, before.content.geometries);
    expectChanged(path, before, {"DENS", "SEAT"}, {{"NAME", "CNTY_NAME"}, {"NOTE", "REMARK"}});
}

// Dates before 1970: a GDAL that reads them a second late would move them in
// every row it rewrites, so there the rename is refused before anything is
// written; a GDAL that keeps them (3.10) renames as for any other table,
// every date as it was.
TEST_F(FileGdb, OldDatesAreRenamedWhereThisGdalKeepsThemAndRefusedWhereItWouldMoveThem)
{
    const std::string path = writeCounties(root, 1850);
    const Reading before = readAll(path, "counties");
    const auto files = gistest::filesUnder(path);
    const gistest::Reasons reasons;
    std::vector<std::string> messages;
    {
        const gistest::Host host({path});
        gistest::Dialog dialog;
        dialog.rename("counties", {"NAME", "CNTY_NAME"});
        dialog.deleteFields("counties", {"DENS"});
        messages = gistest::messages(dialog.ui);
    }
    if (reasons.heard.empty()) {
        EXPECT_EQ(messages, (std::vector<std::string>{quillet::text::renamed.toStdString(),
                                                      quillet::text::confirmDelete.toStdString(),
                                                      quillet::text::deletedAll.toStdString()}));
        expectChanged(path, before, {"DENS"}, {{"NAME", "CNTY_NAME"}});
        return;
    }
    EXPECT_EQ(messages, (std::vector<std::string>{quillet::text::addFieldFailed(QStringLiteral("NAME")).toStdString(),
                                                  quillet::text::confirmDelete.toStdString(),
                                                  quillet::text::notDeleted(QStringLiteral("DENS")).toStdString()}));
    EXPECT_NE(reasons.heard[0].find("before 1970"), std::string::npos) << reasons.heard[0];
    EXPECT_TRUE(gistest::filesUnder(path) == files);
}

// Where each file of a folder lives on disk, by name; free-space lists
// come and go as GDAL's writer reuses space.
std::map<std::string, ino_t> inodesUnder(const fs::path& folder)
{
    std::map<std::string, ino_t> inodes;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".freelist") continue;
        struct stat info {};
        if (::stat(entry.path().c_str(), &info) == 0) inodes[entry.path().filename().string()] = info.st_ino;
    }
    return inodes;
}

std::uintmax_t bytesUnder(const fs::path& folder)
{
    std::uintmax_t bytes = 0;
    for (const auto& entry : fs::directory_iterator(folder)) bytes += entry.is_regular_file() ? entry.file_size() : 0;
    return bytes;
}

// Renames of one table in a folder that holds another: the other table's
// files are the very same files afterwards (linked, never copied or
// rewritten), and the renamed table neither grows with dead rows nor loses
// its spatial index.
TEST_F(FileGdb, ARenameCostsItsOwnTableOnlyAndLeavesItCompactAndIndexed)
{
    const std::string path = writeCounties(root, 1971);
    {
        GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE));
        ASSERT_TRUE(dataset && dataset->CopyLayer(dataset->GetLayerByName("counties"), "neighbours"));
    }
    const Reading neighbours = readAll(path, "neighbours");
    const Reading before = readAll(path, "counties");
    const auto inodes = inodesUnder(path);
    // Links of their own keep the files' inode numbers from being reused
    // by the files a change writes.
    fs::create_directory(root / "held");
    for (const auto& [name, inode] : inodes) fs::create_hard_link(fs::path(path) / name, root / "held" / name);
    const std::uintmax_t bytes = bytesUnder(path);
    {
        const gistest::Host host({path});
        gistest::Dialog dialog;
        dialog.rename("counties", {"NAME", "A"});
        dialog.rename("counties", {"A", "B"});
        dialog.rename("counties", {"B", "CNTY_NAME"});
        EXPECT_EQ(gistest::messages(dialog.ui), std::vector<std::string>(3, quillet::text::renamed.toStdString()));
    }
    expectChanged(path, before, {}, {{"NAME", "CNTY_NAME"}});
    const Reading neighboursAfter = readAll(path, "neighbours");
    EXPECT_FALSE(neighboursAfter.errors);
    EXPECT_EQ(neighboursAfter.content.rows, neighbours.content.rows);
    // The files kept are the other table's (a table's files share the
    // name before the dot), and both tables keep their spatial index.
    const auto after = inodesUnder(path);
    EXPECT_EQ(after.size(), inodes.size());
    std::set<std::string> kept;
    for (const auto& [name, inode] : inodes) {
        ASSERT_EQ(after.count(name), 1u) << name << " is gone";
        if (after.at(name) == inode) kept.insert(fs::path(name).stem().string());
    }
    EXPECT_EQ(kept.size(), 1u);
    for (const std::string& table : kept) EXPECT_TRUE(after.count(table + ".spx")) << table;
    EXPECT_EQ(std::count_if(after.begin(), after.end(), [](const auto& f) { return fs::path(f.first).extension() == ".spx"; }), 2);
    EXPECT_LE(bytesUnder(path), bytes * 11 / 10);
}

// A crash after the folder was moved aside and before its new copy took its
// place: the next open puts the old folder back.
TEST_F(FileGdb, AnInterruptedSwapIsUndoneAtTheNextOpen)
{
    const std::string path = gishost::sample::writeFileGdb(root);
    const auto files = gistest::filesUnder(path);
    const fs::path aside = root / (".quillet_sample.quillet-old-" + gistest::deadPid + ".gdb");
    const fs::path halfDone = root / ".quillet_sample.quillet-999999998.gdb";
    fs::rename(path, aside);
    fs::create_directory(halfDone);
    {
        const gistest::Host host({path});
        EXPECT_TRUE(host.loaded.problems.empty());
    }
    EXPECT_FALSE(fs::exists(aside));
    EXPECT_FALSE(fs::exists(halfDone));
    EXPECT_TRUE(gistest::filesUnder(path) == files);
}

} // namespace
