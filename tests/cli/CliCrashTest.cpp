// quillet killed with SIGKILL in the middle of a copy, at points its own
// progress bar shows on a terminal: the shapefile opens in GDAL with every
// row, and the old field keeps every value (or the rename had finished).

#include "DataReadBack.h"

#include "gishost/sample/SampleData.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <QTemporaryDir>

#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;

constexpr int copies = 20000;

// The sample shapefile's rows, written again and again.
void grow(const std::string& path)
{
    GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE));
    ASSERT_TRUE(dataset);
    OGRLayer* layer = dataset->GetLayer(0);
    std::vector<OGRFeatureUniquePtr> sample;
    for (auto& feature : *layer) sample.emplace_back(feature->Clone());
    for (int i = 0; i < copies; ++i)
        for (const auto& feature : sample) {
            OGRFeatureUniquePtr copy(feature->Clone());
            copy->SetFID(OGRNullFID);
            ASSERT_EQ(layer->CreateFeature(copy.get()), OGRERR_NONE);
        }
}

// Runs quillet on a terminal of its own, so that it shows its progress
// bar, and kills it as soon as the bar shows `step` at `percent` or more;
// false when it ended first.
bool killedDuring(const std::vector<std::string>& args, const std::string& step, int percent)
{
    std::vector<char*> argv{const_cast<char*>(QUILLET_CLI)};
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    int terminal = -1;
    const pid_t pid = forkpty(&terminal, nullptr, nullptr, nullptr);
    if (pid == 0) {
        execv(QUILLET_CLI, argv.data());
        _exit(127);
    }
    if (pid < 0) return false;
    bool killed = false;
    std::string shown;
    char buffer[4096];
    for (ssize_t n; !killed && (n = read(terminal, buffer, sizeof buffer)) > 0;) {
        shown.append(buffer, static_cast<std::size_t>(n));
        const std::size_t bar = shown.rfind(step + " [");
        const std::size_t end = bar == std::string::npos ? bar : shown.find("] ", bar);
        if (end == std::string::npos || shown.find('%', end) == std::string::npos) continue;
        if (std::atoi(shown.c_str() + end + 2) >= percent) killed = kill(pid, SIGKILL) == 0;
    }
    close(terminal);
    int status = 0;
    waitpid(pid, &status, 0);
    return killed;
}

TEST(CliCrash, AKillInTheMiddleOfACopyLeavesEveryRowAndTheOldValues)
{
    const QTemporaryDir temp;
    const fs::path original = fs::path(temp.path().toStdString()) / "original";
    const fs::path work = fs::path(temp.path().toStdString()) / "work";
    fs::create_directory(original);
    const std::string made = gishost::sample::writeShapefile(original);
    grow(made);
    const gistest::LayerContent before = gistest::readLayer(made, "rivers");
    const gistest::LayerContent finished = gistest::changed(before, {}, {{"name", "river"}});
    const std::string path = (work / "rivers.shp").string();

    for (const int percent : {1, 50, 95}) {
        fs::remove_all(work);
        fs::copy(original, work);
        const std::string when = "killed at copy " + std::to_string(percent) + "%";
        ASSERT_TRUE(killedDuring({"rename", "name", "river", path}, "copy", percent)) << when;
        const gistest::LayerContent after = gistest::readLayer(path, "rivers");
        ASSERT_EQ(after.rows.size(), before.rows.size()) << when;
        EXPECT_EQ(after.geometries, before.geometries) << when;
        if (!after.fields.contains("name")) {
            EXPECT_EQ(after.fields, finished.fields) << when;
            EXPECT_EQ(after.rows, finished.rows) << when;
            continue;
        }
        // The old field whole; a field the rename added may be left.
        gistest::LayerContent kept = after;
        kept.fields.erase("river");
        for (auto& [id, row] : kept.rows) row.erase("river");
        EXPECT_EQ(kept.fields, before.fields) << when;
        EXPECT_EQ(kept.rows, before.rows) << when;
    }
}

} // namespace
