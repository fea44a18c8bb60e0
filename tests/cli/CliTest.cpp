// The quillet program run as another program runs it, on files written by
// the sample writers; what it changed is read back with GDAL alone.

#include "CliRun.h"
#include "DataReadBack.h"
#include "GpkgMetadata.h"

#include "cli/Texts.h"
#include "fieldrules/FieldRules.h"
#include "gishost/sample/SampleData.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <QTemporaryDir>

#include <chrono>
#include <filesystem>
#include <functional>

namespace {

namespace fs = std::filesystem;
namespace rules = fieldrules;
using clitest::lines;
using clitest::quillet;

std::string said(std::string_view message) { return cli::text::oneLine(message); }

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class Cli : public ::testing::Test {
protected:
    QTemporaryDir temp;
    fs::path root{temp.path().toStdString()};

    // A folder of its own under the test's folder.
    fs::path folder(const char* name) const
    {
        fs::create_directories(root / name);
        return root / name;
    }
};

struct FormatCase {
    const char* format;
    std::string (*write)(const fs::path&);
    std::string layer;
    bool needsLayer;
    std::string from;
    std::string to;
    std::vector<std::string> deleted;
};

const FormatCase formatCases[] = {
    {"GeoPackage", gishost::sample::writeGeoPackage, "cities", true, "city_label", "city_lbl", {"city_rank", "city_ratio"}},
    {"Shapefile", gishost::sample::writeShapefile, "rivers", false, "name", "river", {"flow", "class"}},
    {"FileGDB", gishost::sample::writeFileGdb, "lakes", true, "lake_label", "lake_lbl", {"lake_rank", "lake_sketch"}},
};

void PrintTo(const FormatCase& c, std::ostream* os) { *os << c.format; }

class CliOnFormat : public Cli, public ::testing::WithParamInterface<FormatCase> {};

// A rename keeps the field's definition, alias and values under its new
// name; a delete takes both fields away; every other field, row and
// geometry stays as it was.
TEST_P(CliOnFormat, RenamesAndDeletesInPlace)
{
    const FormatCase& c = GetParam();
    const std::string path = c.write(root);
    const gistest::LayerContent before = gistest::readLayer(path, c.layer);
    std::vector<std::string> layer;
    if (c.needsLayer) layer = {"--layer", c.layer};

    std::vector<std::string> args{"rename", c.from, c.to, path};
    args.insert(args.end(), layer.begin(), layer.end());
    const clitest::Run renamed = quillet(args);
    EXPECT_EQ(renamed.exitCode, 0) << renamed.err;
    ASSERT_EQ(lines(renamed.out).size(), 1u) << renamed.out;
    EXPECT_TRUE(contains(renamed.out, path)) << renamed.out;
    EXPECT_TRUE(contains(renamed.out, ": " + said(rules::renamed))) << renamed.out;

    args = {"delete", c.deleted[0] + "," + c.deleted[1], path};
    args.insert(args.begin() + 1, layer.begin(), layer.end());
    const clitest::Run deleted = quillet(args);
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err;
    EXPECT_TRUE(contains(deleted.out, said(rules::deletedAll))) << deleted.out;

    const gistest::LayerContent after = gistest::readLayer(path, c.layer);
    const gistest::LayerContent expected = gistest::changed(before, c.deleted, {{c.from, c.to}});
    EXPECT_EQ(after.fields, expected.fields);
    EXPECT_EQ(after.rows, expected.rows);
    EXPECT_EQ(after.geometries, before.geometries);
}

INSTANTIATE_TEST_SUITE_P(Formats, CliOnFormat, ::testing::ValuesIn(formatCases),
                         [](const auto& info) { return std::string(info.param.format); });

// Each refusal: its exit code, the add-in's message (or the program's own),
// the engine's reason where there is one, and not a byte changed.
struct Refusal {
    const char* name;
    enum class Data { GeoPackage, Shapefile, FileGdb } data;
    std::vector<std::string> args; // the dataset's path is added at the end
    int exitCode;
    std::string message;
    std::string reason;
    enum class Setup { None, ReadOnly, Locked } setup = Setup::None;
};

const std::vector<std::string> sampleLayers{"cities", "roads", "parcels"};

const Refusal refusals[] = {
    {"BadCharacter", Refusal::Data::Shapefile, {"rename", "name", "river name"}, 1, rules::badName(), ""},
    {"TooLong", Refusal::Data::Shapefile, {"rename", "name", "abcdefghijk"}, 1, rules::badName(), ""},
    {"ExistingInOtherCaseAndBlanks", Refusal::Data::Shapefile, {"rename", "name", " FLOW "}, 1,
     std::string(rules::nameExists), ""},
    {"ExistingGeometryColumn", Refusal::Data::GeoPackage, {"rename", "-l", "cities", "city_label", "GEOM"}, 1,
     std::string(rules::nameExists), ""},
    {"EmptyNewName", Refusal::Data::Shapefile, {"rename", "name", "  "}, 1, std::string(rules::enterNewName), ""},
    {"NoSuchField", Refusal::Data::Shapefile, {"rename", "nope", "river"}, 1, std::string(rules::currentFieldNotFound),
     ""},
    {"RequiredRename", Refusal::Data::FileGdb, {"rename", "--layer", "lakes", "Shape_Length", "len"}, 1,
     rules::requiredNoRename("Shape_Length"), ""},
    {"RequiredDelete", Refusal::Data::FileGdb, {"delete", "--layer=lakes", "lake_rank,Shape_Length"}, 1,
     rules::requiredNoDelete("Shape_Length"), ""},
    {"DeleteMissing", Refusal::Data::Shapefile, {"delete", "name,nope"}, 1, rules::notInLayer("nope"), ""},
    {"ReadOnlyRename", Refusal::Data::Shapefile, {"rename", "name", "river"}, 1, rules::addFieldFailed("name"),
     "is read-only", Refusal::Setup::ReadOnly},
    {"ReadOnlyDelete", Refusal::Data::GeoPackage, {"delete", "-l", "cities", "city_rank"}, 1,
     rules::notDeleted("city_rank"), "is read-only", Refusal::Setup::ReadOnly},
    {"LockedPastTheBound", Refusal::Data::GeoPackage,
     {"rename", "--lock-timeout", "0.3", "-l", "cities", "city_label", "city_lbl"}, 3, "", "locked by another program",
     Refusal::Setup::Locked},
    {"MissingLayer", Refusal::Data::GeoPackage, {"rename", "-l", "towns", "city_label", "city_lbl"}, 1,
     cli::text::noSuchLayer("towns", sampleLayers), ""},
    {"SeveralLayers", Refusal::Data::GeoPackage, {"delete", "city_rank"}, 1, cli::text::chooseLayer(sampleLayers), ""},
    {"MissingLayerForFields", Refusal::Data::GeoPackage, {"fields", "--layer", "towns"}, 1,
     cli::text::noSuchLayer("towns", sampleLayers), ""},
    {"UnknownCommand", Refusal::Data::Shapefile, {"move", "name"}, 2, "unknown command 'move'", ""},
    {"TooFewArguments", Refusal::Data::Shapefile, {"rename", "name"}, 2, "wrong number of arguments", ""},
    {"NoFieldsToDelete", Refusal::Data::Shapefile, {"delete", " , "}, 2, std::string(cli::text::noFieldsNamed), ""},
    {"BadLockTimeout", Refusal::Data::Shapefile, {"rename", "--lock-timeout", "soon", "name", "river"}, 2,
     cli::text::badLockTimeout("soon"), ""},
    {"JsonWithAChange", Refusal::Data::Shapefile, {"rename", "--json", "name", "river"}, 2, "--json", ""},
};

void PrintTo(const Refusal& c, std::ostream* os) { *os << c.name; }

class CliRefusal : public Cli, public ::testing::WithParamInterface<Refusal> {};

TEST_P(CliRefusal, ExitCodeMessageAndNothingChanged)
{
    const Refusal& c = GetParam();
    std::string path;
    switch (c.data) {
    case Refusal::Data::GeoPackage: path = gishost::sample::writeGeoPackage(root); break;
    case Refusal::Data::Shapefile: path = gishost::sample::writeShapefile(root); break;
    case Refusal::Data::FileGdb: path = gishost::sample::writeFileGdb(root); break;
    }
    if (c.setup == Refusal::Setup::ReadOnly) gistest::setWritable(path, false);
    const auto files = gistest::datasetFiles(path);
    std::optional<gistest::SqliteFile> other;
    if (c.setup == Refusal::Setup::Locked) {
        other.emplace(path);
        other->run("BEGIN EXCLUSIVE");
    }
    std::vector<std::string> args = c.args;
    args.push_back(path);

    const auto start = std::chrono::steady_clock::now();
    const clitest::Run run = quillet(args);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(contains(run.err, said(c.message))) << run.err;
    EXPECT_TRUE(contains(run.err, c.reason)) << run.err;
    if (c.exitCode == 2) {
        EXPECT_TRUE(contains(run.err, std::string(cli::text::tryHelp))) << run.err;
    }
    other.reset();
    EXPECT_EQ(gistest::datasetFiles(path), files);
}

INSTANTIATE_TEST_SUITE_P(Cases, CliRefusal, ::testing::ValuesIn(refusals),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Cli, ASourceThatCannotBeOpenedIsADataErrorNamedOnItsLine)
{
    const std::string missing = (root / "missing.shp").string();
    const clitest::Run run = quillet({"rename", "name", "river", missing});
    EXPECT_EQ(run.exitCode, 4);
    EXPECT_TRUE(contains(run.err, "quillet: " + missing + ": ")) << run.err;
}

TEST_F(Cli, HelpIsTheUsualUsageOnStandardOutput)
{
    const clitest::Run run = quillet({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, cli::text::help);
    EXPECT_EQ(run.err, "");
}

// 50 shapefiles of a delivery, one of them read-only: the 49 others are
// renamed, the one is named on its line and not a byte of it changes, and
// the exit code is its refusal's.
TEST_F(Cli, ABatchChangesEverySourceItCanAndNamesTheOneItCannot)
{
    const fs::path made = gishost::sample::writeShapefile(folder("made"));
    std::vector<std::string> sources;
    for (int i = 0; i < 50; ++i) {
        const fs::path path = root / ("river" + std::to_string(i) + ".shp");
        for (const char* ext : {".shp", ".shx", ".dbf", ".prj"})
            fs::copy_file(fs::path(made).replace_extension(ext), fs::path(path).replace_extension(ext));
        sources.push_back(path.string());
    }
    const std::string readOnly = sources[17];
    gistest::setWritable(readOnly, false);
    const auto files = gistest::datasetFiles(readOnly);
    const gistest::LayerContent before = gistest::readLayer(made.string(), "rivers");

    std::vector<std::string> args{"rename", "name", "river"};
    args.insert(args.end(), sources.begin(), sources.end());
    const clitest::Run run = quillet(args);

    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(lines(run.out).size(), 49u) << run.out;
    EXPECT_FALSE(contains(run.out, readOnly));
    EXPECT_TRUE(contains(run.err, "quillet: " + readOnly + ": " + rules::addFieldFailed("name"))) << run.err;
    EXPECT_EQ(gistest::datasetFiles(readOnly), files);
    const gistest::LayerContent expected = gistest::changed(before, {}, {{"name", "river"}});
    for (const std::string& source : sources) {
        if (source == readOnly) continue;
        EXPECT_TRUE(contains(run.out, source + ": " + said(rules::renamed))) << source;
        const gistest::LayerContent after = gistest::readLayer(source, fs::path(source).stem().string());
        EXPECT_EQ(after.fields, expected.fields) << source;
        EXPECT_EQ(after.rows, expected.rows) << source;
    }
}

// The exit code is the worst outcome: a data error outranks a refusal, and
// the source that worked is changed all the same.
TEST_F(Cli, SeveralSourcesAnswerTheWorstOutcome)
{
    const std::string good = gishost::sample::writeShapefile(folder("good"));
    const std::string readOnly = gishost::sample::writeShapefile(folder("ro"));
    gistest::setWritable(readOnly, false);
    const std::string missing = (root / "missing.shp").string();
    const clitest::Run run = quillet({"delete", "flow", readOnly, missing, good});
    EXPECT_EQ(run.exitCode, 4) << run.err;
    EXPECT_EQ(lines(run.out), std::vector<std::string>{good + ": " + said(rules::deletedAll)});
    EXPECT_FALSE(gistest::readLayer(good, "rivers").fields.contains("flow"));
    EXPECT_TRUE(gistest::readLayer(readOnly, "rivers").fields.contains("flow"));
}

// The fields a script reads: each source, each layer with its object id and
// geometries, each field as GDAL defines it; a source that cannot be opened
// is an entry with its error.
TEST_F(Cli, FieldsAsJsonForScripts)
{
    const std::string geoPackage = gishost::sample::writeGeoPackage(root);
    const std::string shapefile = gishost::sample::writeShapefile(root);
    const std::string missing = (root / "missing.gpkg").string();
    const clitest::Run run = quillet({"fields", "--json", geoPackage, shapefile, missing});
    EXPECT_EQ(run.exitCode, 4);
    const nlohmann::json all = nlohmann::json::parse(run.out);
    ASSERT_EQ(all.size(), 3u);

    const nlohmann::json& gpkg = all[0];
    EXPECT_EQ(gpkg["source"], geoPackage);
    ASSERT_EQ(gpkg["layers"].size(), 3u);
    const nlohmann::json& cities = gpkg["layers"][0];
    EXPECT_EQ(cities["name"], "cities");
    EXPECT_EQ(cities["objectId"], "fid");
    EXPECT_EQ(cities["geometries"][0]["name"], "geom");
    const gistest::LayerContent read = gistest::readLayer(geoPackage, "cities");
    ASSERT_EQ(cities["fields"].size(), read.fields.size());
    for (const nlohmann::json& f : cities["fields"]) {
        const gistest::FieldShape& shape = read.fields.at(f["name"]);
        EXPECT_EQ(f["alias"], shape.alias);
        EXPECT_EQ(f["width"], shape.width);
        EXPECT_EQ(f["precision"], shape.precision);
        EXPECT_EQ(f["nullable"], shape.nullable);
        EXPECT_EQ(f["default"].is_null() ? "" : f["default"].get<std::string>(), shape.defaultValue);
        EXPECT_FALSE(f["required"]);
    }
    EXPECT_EQ(cities["fields"][4]["name"], "city_label");
    EXPECT_EQ(cities["fields"][4]["type"], "Text");
    EXPECT_EQ(cities["fields"][4]["alias"], "Label");

    EXPECT_EQ(all[1]["layers"][0]["name"], "rivers");
    EXPECT_EQ(all[1]["layers"][0]["fields"][0]["width"], 32);
    EXPECT_TRUE(all[2].contains("error"));
    EXPECT_FALSE(all[2].contains("layers"));
}

TEST_F(Cli, FieldsAsTextListsEveryLayer)
{
    const std::string geoPackage = gishost::sample::writeGeoPackage(root);
    const clitest::Run run = quillet({"fields", geoPackage});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    for (const std::string& layer : sampleLayers) EXPECT_TRUE(contains(run.out, geoPackage + " (" + layer + ")"));
    EXPECT_TRUE(contains(run.out, "city_label")) << run.out;
}

} // namespace
