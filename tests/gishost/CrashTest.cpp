// A rename killed with SIGKILL at several points of its add, its copy, its
// delete and the swap of a new file or folder into place, each point found
// by the engine's progress reports: afterwards the shapefile, the GeoPackage
// and the FileGDB open in GDAL alone, then in gishost, every row
// is there, and the old field holds every original value (or the rename had
// finished, and the new field holds them); a field the interrupted rename
// added may remain, nothing else changes. The GeoPackage's description of
// the field is never lost: its alias is the old field's or the new one's.

#include "GisTestSupport.h"
#include "GpkgMetadata.h"

#include "engine/sqlite/GpkgAliases.h"
#include "engine/core/OgrStatus.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <set>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using runtime::ComPtr;


std::string nameOfRow(int row) { return row % 10 == 0 ? std::string() : "Fl\xC3\xBCsschen " + std::to_string(row); }

// The table of a user's survey: a name to rename, and other values that
// must stay as they are.
void writeTable(const char* driverName, const std::string& path, int rowCount)
{
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    ASSERT_TRUE(dataset);
    OGRLayer* layer = dataset->CreateLayer("survey", nullptr, wkbPoint, nullptr);
    OGRFieldDefn name("name", OFTString), code("code", OFTInteger), value("value", OFTReal), day("day", OFTDate);
    name.SetWidth(24);
    value.SetWidth(14);
    value.SetPrecision(4);
    for (OGRFieldDefn* field : {&name, &code, &value, &day}) ASSERT_EQ(layer->CreateField(field), OGRERR_NONE);
    dataset->StartTransaction();
    for (int row = 0; row < rowCount; ++row) {
        OGRFeature feature(layer->GetLayerDefn());
        if (!nameOfRow(row).empty()) feature.SetField(0, nameOfRow(row).c_str());
        feature.SetField(1, row * 7);
        feature.SetField(2, row * 0.25);
        feature.SetField(3, 2000 + row % 20, 1 + row % 12, 1 + row % 28);
        OGRPoint point(row % 1000 * 0.01, row / 1000 * 0.01);
        feature.SetGeometry(&point);
        ASSERT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
    }
    dataset->CommitTransaction();
    if (std::string(driverName) != "GPKG") return;
    ASSERT_EQ(engine::createGpkgDataColumns(*dataset), runtime::S_OK);
    ASSERT_EQ(engine::executeSql(*dataset, "INSERT INTO gpkg_data_columns VALUES ('survey', 'name', 'Place name', "
                                           "'Name of the place', 'As the surveyor wrote it', NULL, NULL)"),
              runtime::S_OK);
}

// What gpkg_data_columns says of the old and the new field: everything of
// the one that is left; while both are there, the alias is the new field's
// (the file keeps it once), and its title and description come with the copy.
void expectDescribed(const std::string& path, const std::string& when)
{
    std::set<std::string> fields;
    for (const gistest::SqlRow& row : gistest::sqliteRows(path, "SELECT name FROM pragma_table_info('survey')"))
        fields.insert(*row[0]);
    const auto described = [](const char* field) {
        return gistest::SqlRow{"survey", field, "Place name", "Name of the place", "As the surveyor wrote it",
                               std::nullopt, std::nullopt};
    };
    const auto rows = gistest::dataColumns(path);
    if (!fields.count("label")) {
        EXPECT_EQ(rows, std::vector<gistest::SqlRow>{described("name")}) << when;
    } else if (!fields.count("name")) {
        EXPECT_EQ(rows, std::vector<gistest::SqlRow>{described("label")}) << when;
    } else {
        gistest::SqlRow old = described("name");
        old[2] = std::nullopt;
        const gistest::SqlRow added{"survey", "label", "Place name", std::nullopt, std::nullopt, std::nullopt,
                                    std::nullopt};
        const std::vector<gistest::SqlRow> beforeCopy{added, old}, afterCopy{described("label"), old};
        EXPECT_TRUE(rows == beforeCopy || rows == afterCopy) << when;
    }
}

struct ChildRun {
    std::vector<std::string> lines;
    bool killed = false;
    int status = 0;
};

// Renames "name" to "label" in a child process, which is killed with
// SIGKILL as soon as it has printed line number `killAt` (never when -1).
ChildRun rename(const std::string& path, int killAt)
{
    int out[2];
    ChildRun run;
    if (pipe2(out, O_CLOEXEC) != 0) return run;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    const char* argv[] = {CRASH_CHILD, path.c_str(), "survey", "name", "label", nullptr};
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, CRASH_CHILD, &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    FILE* lines = fdopen(out[0], "r");
    char* line = nullptr;
    std::size_t size = 0;
    while (spawned == 0 && getline(&line, &size, lines) > 0) {
        run.lines.emplace_back(line, std::strlen(line) - 1);
        if (static_cast<int>(run.lines.size()) - 1 == killAt && !run.killed) run.killed = kill(pid, SIGKILL) == 0;
    }
    std::free(line);
    std::fclose(lines);
    if (spawned == 0) waitpid(pid, &run.status, 0);
    return run;
}

// Where to kill: the first, the middle and the last report of each step.
std::vector<int> killPoints(const std::vector<std::string>& lines)
{
    std::set<int> points;
    std::size_t start = 0;
    const auto step = [&](std::size_t i) { return lines[i].substr(0, lines[i].find(' ')); };
    for (std::size_t i = 1; i <= lines.size(); ++i) {
        if (i < lines.size() && step(i) == step(start)) continue;
        if (step(start) != "done")
            for (std::size_t at : {start, (start + i - 1) / 2, i - 1}) points.insert(static_cast<int>(at));
        start = i;
    }
    return {points.begin(), points.end()};
}

// The dataset opens in gishost, which lists the old or the new field.
void expectOpensInGishost(const std::string& path)
{
    const gistest::Host host({path});
    ASSERT_TRUE(host.loaded.problems.empty()) << host.loaded.problems[0];
    const auto featureClass = gistest::featureClassAt(host, 0, 0);
    ComPtr<host::IFieldCollection> fields;
    ASSERT_TRUE(featureClass && runtime::succeeded(featureClass->get_Fields(fields.put())));
    std::int32_t name = -1, label = -1;
    fields->FindField(u"name", &name);
    fields->FindField(u"label", &label);
    EXPECT_TRUE(name >= 0 || label >= 0);
}

// What a change leaves beside the data while it works: none once a host
// opened the data after the change was killed.
std::vector<std::string> workFilesIn(const fs::path& folder)
{
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find(".quillet-") != std::string::npos)
            found.push_back(entry.path().filename().string());
    return found;
}

// Every row, as GDAL reads it, with the old field's values (or, after a
// finished rename, the new field's) and every other value as written.
void expectEveryRowInGdal(const std::string& path, const std::string& when, int rowCount, bool update = false)
{
    const engine::QuietErrors quiet;
    CPLErrorReset();
    GDALDatasetUniquePtr dataset(
        GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | (update ? GDAL_OF_UPDATE : GDAL_OF_READONLY)));
    ASSERT_TRUE(dataset) << when;
    OGRLayer* layer = dataset->GetLayer(0);
    const OGRFeatureDefn& definition = *layer->GetLayerDefn();
    std::set<std::string> fields;
    for (int i = 0; i < definition.GetFieldCount(); ++i) fields.insert(definition.GetFieldDefn(i)->GetNameRef());
    const std::set<std::string> original{"name", "code", "value", "day"};
    std::set<std::string> finished = original;
    finished.erase("name");
    finished.insert("label");
    std::set<std::string> halfway = original;
    halfway.insert("label");
    ASSERT_TRUE(fields == original || fields == halfway || fields == finished) << when;
    const int values = definition.GetFieldIndex(fields.count("name") ? "name" : "label");
    int rows = 0;
    for (auto& feature : *layer) {
        ++rows;
        const int row = feature->GetFieldAsInteger("code") / 7;
        ASSERT_EQ(feature->GetFieldAsString(values), nameOfRow(row)) << when << ", row " << row;
        ASSERT_EQ(feature->GetFieldAsDouble("value"), row * 0.25) << when << ", row " << row;
        ASSERT_TRUE(feature->GetGeometryRef()) << when << ", row " << row;
    }
    EXPECT_EQ(rows, rowCount) << when;
    EXPECT_LT(CPLGetLastErrorType(), CE_Failure) << when << ": " << CPLGetLastErrorMsg();
}

struct Format {
    const char* name;
    const char* driver;
    const char* file;
    bool described;
    // SQLite lets only a writer roll back the journal a killed transaction
    // left: the first program to open the file after the kill must write.
    bool firstOpenWrites;
    // Enough for many progress reports in each step; a FileGDB's every
    // step copies the whole folder.
    int rows;
};

std::ostream& operator<<(std::ostream& out, const Format& format) { return out << format.name; }

class Crash : public ::testing::TestWithParam<Format> {
protected:
    QTemporaryDir folder;
};

TEST_P(Crash, AKilledRenameLeavesEveryRowAndTheOldValues)
{
    const Format& format = GetParam();
    const fs::path original = fs::path(folder.path().toStdString()) / "original";
    const fs::path work = fs::path(folder.path().toStdString()) / "work";
    fs::create_directory(original);
    writeTable(format.driver, (original / format.file).string(), format.rows);
    const auto fresh = [&] {
        fs::remove_all(work);
        fs::copy(original, work, fs::copy_options::recursive);
        return (work / format.file).string();
    };

    const ChildRun whole = rename(fresh(), -1);
    ASSERT_TRUE(WIFEXITED(whole.status) && WEXITSTATUS(whole.status) == 0);
    ASSERT_FALSE(whole.lines.empty());
    EXPECT_EQ(whole.lines.back(), "done");
    expectEveryRowInGdal((work / format.file).string(), "after a whole rename", format.rows);
    if (format.described) expectDescribed((work / format.file).string(), "after a whole rename");

    const std::vector<int> points = killPoints(whole.lines);
    EXPECT_GE(points.size(), 6u) << "the add, the copy and the delete report their progress";
    for (int point : points) {
        const std::string path = fresh();
        const ChildRun run = rename(path, point);
        const std::string when = "killed at \"" + whole.lines[static_cast<std::size_t>(point)] + "\"";
        ASSERT_TRUE(run.killed || run.lines.back() == "done") << when;
        // Another program may be first to open it.
        expectEveryRowInGdal(path, when, format.rows, format.firstOpenWrites);
        expectOpensInGishost(path);
        EXPECT_EQ(workFilesIn(work), std::vector<std::string>{}) << when;
        if (format.described) expectDescribed(path, when);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, Crash,
                         ::testing::Values(Format{"Shapefile", "ESRI Shapefile", "survey.shp", false, false, 200000},
                                           Format{"GeoPackage", "GPKG", "survey.gpkg", true, true, 200000},
                                           Format{"FileGDB", "OpenFileGDB", "survey.gdb", false, false, 20000}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
