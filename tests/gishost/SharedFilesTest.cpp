// Data on disk as other programs share it: opening and closing changes no
// byte, a crash's hot journal is rolled back when the file is opened, and
// another program's lock never empties the dialog's lists or holds it
// longer than the lock wait allows.

#include "EngineWatch.h"
#include "GisTestSupport.h"
#include "GpkgMetadata.h"

#include "dialog/Messages.h"
#include "engine/core/Progress.h"
#include "gishost/sample/SampleData.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <chrono>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using runtime::ComPtr;

using OtherConnection = gistest::SqliteFile;

// Leaves `path` as a crash in the middle of a transaction leaves it: the
// file with part of the change written into it, and the hot journal that
// undoes it.
void crashInTransaction(const std::string& path)
{
    const std::string live = path + ".live";
    fs::copy_file(path, live);
    {
        OtherConnection writer(live);
        writer.run("PRAGMA cache_size = 2");
        writer.run("BEGIN");
        writer.run("CREATE TABLE unfinished (x)");
        for (int i = 0; i < 300; ++i) writer.run("INSERT INTO unfinished VALUES (zeroblob(1000))");
        fs::copy_file(live, path, fs::copy_options::overwrite_existing);
        fs::copy_file(live + "-journal", path + "-journal");
        writer.run("ROLLBACK");
    }
    fs::remove(live);
}

// A GeoPackage as an older GDAL wrote it: a trigger whose faulty text a
// newer GDAL mends whenever it opens the file for update.
void ageGeoPackage(const std::string& path)
{
    {
        GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE));
        ASSERT_TRUE(dataset);
        dataset->SetMetadataItem("origin", "sample");
    }
    OtherConnection(path).run(
        "CREATE TRIGGER 'gpkg_metadata_reference_column_name_update' BEFORE UPDATE OF column_name ON "
        "'gpkg_metadata_reference' FOR EACH ROW BEGIN SELECT RAISE(ABORT, 'column name must be NULL') WHERE "
        "(NEW.reference_scope IN ('geopackage','table','row') AND NEW.column_nameIS NOT NULL); END");
}

std::vector<std::string> tablesIn(const std::string& path)
{
    std::vector<std::string> names;
    for (const gistest::SqlRow& row : gistest::sqliteRows(path, "SELECT name FROM sqlite_master WHERE type = 'table'"))
        names.push_back(*row[0]);
    return names;
}

// Every field of every layer, read through the host's interfaces.
std::size_t listEveryField(const gistest::Host& host)
{
    std::size_t count = 0;
    std::int32_t maps = 0;
    host.loaded.document->get_Count(&maps);
    for (std::int32_t m = 0; m < maps; ++m) {
        ComPtr<host::IMap> map;
        std::int32_t layers = 0;
        host.loaded.document->get_Item(m, map.put());
        map->get_LayerCount(&layers);
        for (std::int32_t l = 0; l < layers; ++l) {
            ComPtr<host::ILayer> layer;
            ComPtr<host::IFeatureClass> featureClass;
            ComPtr<host::IFieldCollection> fields;
            std::int32_t n = 0;
            map->get_Layer(l, layer.put());
            const auto featureLayer = layer.asOrNull<host::IFeatureLayer>();
            if (!featureLayer || runtime::failed(featureLayer->get_FeatureClass(featureClass.put())) ||
                runtime::failed(featureClass->get_Fields(fields.put())) || runtime::failed(fields->get_FieldCount(&n)))
                continue;
            for (std::int32_t i = 0; i < n; ++i) {
                ComPtr<host::IFieldDefinition> field;
                if (runtime::succeeded(fields->get_Field(i, field.put()))) ++count;
            }
        }
    }
    return count;
}

class SharedFiles : public ::testing::Test {
protected:
    QTemporaryDir folder;
    std::string root = folder.path().toStdString();
};

TEST_F(SharedFiles, OpeningAndClosingEachSampleChangesNoByte)
{
    const auto paths = gishost::sample::writeAll(root);
    ageGeoPackage(paths[0]);
    const auto before = gistest::filesUnder(root);
    {
        const gistest::Host host(paths);
        ASSERT_TRUE(host.loaded.problems.empty());
        EXPECT_GT(listEveryField(host), 40u);
        gistest::Dialog dialog;
    }
    const auto after = gistest::filesUnder(root);
    for (const auto& [path, bytes] : before) {
        const auto found = after.find(path);
        EXPECT_TRUE(found != after.end() && found->second == bytes) << "changed: " << path;
    }
    for (const auto& [path, bytes] : after) EXPECT_TRUE(before.count(path)) << "new: " << path;
}

TEST_F(SharedFiles, AHotJournalIsRolledBackWhenTheGeoPackageIsOpened)
{
    const std::string path = gishost::sample::writeGeoPackage(root);
    const auto tables = tablesIn(path);
    crashInTransaction(path);
    ASSERT_TRUE(fs::exists(path + "-journal"));

    testing::internal::CaptureStderr();
    {
        const gistest::Host host({path});
        EXPECT_TRUE(host.loaded.problems.empty());
        EXPECT_GT(listEveryField(host), 20u);
    }
    const std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find(path + ": undid a change that a crash had interrupted"), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(path + "-journal"));
    EXPECT_EQ(tablesIn(path), tables) << "the half-written table is gone";
}

// Only write access can undo the crash: the file is reported, not shown
// half written.
TEST_F(SharedFiles, AHotJournalThatCannotBeRolledBackIsReported)
{
    const std::string path = gishost::sample::writeGeoPackage(root);
    crashInTransaction(path);
    gistest::setWritable(path, false);
    fs::permissions(path + "-journal", fs::perms::owner_write, fs::perm_options::remove);
    const gistest::Host host({path});
    ASSERT_EQ(host.loaded.problems.size(), 1u);
    EXPECT_NE(host.loaded.problems[0].find("only write access"), std::string::npos) << host.loaded.problems[0];
    EXPECT_TRUE(fs::exists(path + "-journal"));
}

TEST_F(SharedFiles, AGeoPackageLockedWhileItIsOpenedIsReportedAfterTheWait)
{
    const gistest::LockTimeout timeout(200ms);
    const std::string path = gishost::sample::writeGeoPackage(root);
    OtherConnection other(path);
    other.run("BEGIN EXCLUSIVE");
    const auto start = std::chrono::steady_clock::now();
    const gistest::Host host({path});
    EXPECT_LT(std::chrono::steady_clock::now() - start, 200ms + 3s);
    ASSERT_EQ(host.loaded.problems.size(), 1u);
    EXPECT_NE(host.loaded.problems[0].find("locked by another program"), std::string::npos) << host.loaded.problems[0];
}

// Another program holds an exclusive transaction: the lists stay filled,
// each change fails within the wait plus a margin with the add-in's own
// message and the engine's reason, and nothing changes. Once the lock is
// gone the same changes succeed without choosing the layer again.
TEST_F(SharedFiles, ALockedGeoPackageKeepsTheListsAndRefusesChangesWithinTheWait)
{
    constexpr auto wait = 300ms;
    constexpr auto margin = 3s;
    const gistest::LockTimeout timeout(wait);
    const std::string path = gishost::sample::writeGeoPackage(root);
    const auto files = gistest::datasetFiles(path);
    const gistest::Host host({path});
    gistest::Dialog dialog;
    const gistest::Reasons reasons;

    auto other = std::make_unique<OtherConnection>(path);
    other->run("BEGIN EXCLUSIVE");
    dialog.chooseLayer(dialog.form.cboTargetLayer, "roads");
    dialog.chooseLayer(dialog.form.cboTargetLayer, "cities");
    dialog.chooseLayer(dialog.form.cboTargetLayerRename, "cities");
    EXPECT_TRUE(gistest::entries(*dialog.form.lstAvailableFields).contains(QStringLiteral("city_rank")));

    auto start = std::chrono::steady_clock::now();
    dialog.deleteChosen({"city_rank"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, wait + margin);
    start = std::chrono::steady_clock::now();
    dialog.renameChosen({"city_label", "city_name"});
    EXPECT_LT(std::chrono::steady_clock::now() - start, wait + margin);

    EXPECT_EQ(gistest::messages(dialog.ui),
              (std::vector<std::string>{quillet::text::confirmDelete.toStdString(),
                                        quillet::text::notDeleted(QStringLiteral("city_rank")).toStdString(),
                                        quillet::text::addFieldFailed(QStringLiteral("city_label")).toStdString()}));
    ASSERT_FALSE(reasons.heard.empty());
    for (const std::string& why : reasons.heard)
        EXPECT_EQ(why.find(path + " is locked by another program"), 0u) << why;
    EXPECT_TRUE(gistest::entries(*dialog.form.lstAvailableFields).contains(QStringLiteral("city_rank")));
    EXPECT_TRUE(gistest::entries(*dialog.form.cboCurrentFieldName).contains(QStringLiteral("city_label")));

    other->run("ROLLBACK");
    other.reset();
    EXPECT_EQ(gistest::datasetFiles(path), files);
    dialog.ui.messages.clear();
    dialog.deleteChosen({"city_rank"});
    dialog.renameChosen({"city_label", "city_name"});
    EXPECT_EQ(gistest::messages(dialog.ui),
              (std::vector<std::string>{quillet::text::confirmDelete.toStdString(),
                                        quillet::text::deletedAll.toStdString(),
                                        quillet::text::renamed.toStdString()}));
    const auto fields = gistest::readLayer(path, "cities").fields;
    EXPECT_FALSE(fields.count("city_rank") || fields.count("city_label"));
    EXPECT_TRUE(fields.count("city_name"));
}


// Another program changes the shapefile's table: before a change, the
// change works on what is there now and keeps theirs; while the engine
// writes its new table, the new table is dropped and theirs stays.
TEST_F(SharedFiles, AShapefileChangedByAnotherProgramIsNotOverwritten)
{
    const std::string path = gishost::sample::writeShapefile(root);
    const std::string dbf = root + "/rivers.dbf";
    const gistest::Host host({path});
    gistest::Dialog dialog;
    dialog.chooseLayer(dialog.form.cboTargetLayer, "rivers");
    const auto addTheirs = [&](const char* name) {
        GDALDatasetUniquePtr other(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE));
        OGRFieldDefn theirs(name, OFTInteger);
        ASSERT_EQ(other->GetLayer(0)->CreateField(&theirs), OGRERR_NONE);
    };
    addTheirs("theirs");
    dialog.deleteChosen({"flow"});
    EXPECT_EQ(gistest::messages(dialog.ui).back(), quillet::text::deletedAll.toStdString());
    EXPECT_TRUE(gistest::entries(*dialog.form.lstAvailableFields).contains(QStringLiteral("theirs")));
    auto fields = gistest::readLayer(path, "rivers").fields;
    EXPECT_TRUE(fields.count("theirs") && !fields.count("flow"));

    const gistest::Reasons reasons;
    bool written = false;
    std::string theirs;
    const engine::ProgressListener meanwhile([&](const std::string& step, std::uint64_t, std::uint64_t) {
        if (step != "delete" || written) return;
        written = true;
        addTheirs("later");
        theirs = gistest::filesUnder(dbf).at(dbf);
    });
    dialog.ui.messages.clear();
    dialog.deleteChosen({"class"});
    ASSERT_TRUE(written);
    EXPECT_EQ(gistest::messages(dialog.ui).back(), quillet::text::notDeleted(QStringLiteral("class")).toStdString());
    ASSERT_EQ(reasons.heard.size(), 1u);
    EXPECT_NE(reasons.heard[0].find("changed by another program"), std::string::npos) << reasons.heard[0];
    EXPECT_EQ(gistest::filesUnder(dbf).at(dbf), theirs);
    fields = gistest::readLayer(path, "rivers").fields;
    EXPECT_TRUE(fields.count("later") && fields.count("class"));
}

} // namespace
