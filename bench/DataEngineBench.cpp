// gishost's data engine against GDAL's own ways, measured in the same run:
// a rename and a deletion through the real dialog on shapefile and
// GeoPackage tables of each size, against GDAL's three steps (the
// per-feature API for a shapefile, SQL for a GeoPackage), GDAL's one-step
// RENAME COLUMN and DROP COLUMN, and cp + sync of the data file; the
// command line's rename, a process of its own, against ogrinfo running the
// three SQL steps and the one-step RENAME COLUMN; the peak
// memory of the dialog's work at each size; and field listing of a
// GeoPackage of 200 layers x 50 fields against GDAL reading the definitions.
//
//   data_engine_bench [ROWS ...]             (default: 100000 1000000)
//   data_engine_bench --child rename|delete PATH [LAYER]   (one dialog run, in a process of its own)
//   data_engine_bench --write DRIVER PATH ROWS     (the survey table alone, to look at one case)

#include "GisTestSupport.h"

#include "dialog/Messages.h"
#include "dialog/frmQuillet.h"
#include "forms/Controls.h"
#include "forms/MessageBox.h"
#include "engine/core/OgrStatus.h"
#include "gishost/model/DocumentLoader.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr char layerName[] = "survey";

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double timed(const std::function<void()>& run)
{
    const auto start = Clock::now();
    run();
    return secondsSince(start);
}

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "data_engine_bench: %s\n", what.c_str());
    std::exit(1);
}

// A survey table of ten attributes, as in the field: text, integers, reals,
// dates, some of them null.
void writeTable(const char* driverName, const std::string& path, int rows, const char* name = layerName)
{
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    GDALDatasetUniquePtr dataset(fs::exists(path)
                                     ? GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE)
                                     : driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!dataset) fail("cannot create " + path);
    OGRLayer* layer = dataset->CreateLayer(name, nullptr, wkbPoint, nullptr);
    struct Column {
        const char* name;
        OGRFieldType type;
        int width;
        int precision;
    };
    const Column columns[] = {{"name", OFTString, 24, 0},  {"code", OFTInteger, 9, 0}, {"value", OFTReal, 14, 4},
                              {"day", OFTDate, 0, 0},      {"cat", OFTString, 8, 0},   {"count", OFTInteger, 9, 0},
                              {"ratio", OFTReal, 12, 3},   {"tag", OFTString, 16, 0},  {"big", OFTInteger64, 12, 0},
                              {"flag", OFTString, 1, 0}};
    for (const Column& c : columns) {
        OGRFieldDefn field(c.name, c.type);
        field.SetWidth(c.width);
        field.SetPrecision(c.precision);
        if (layer->CreateField(&field) != OGRERR_NONE) fail("cannot create field " + std::string(c.name));
    }
    const bool transaction = dataset->TestCapability(ODsCTransactions) && dataset->StartTransaction() == OGRERR_NONE;
    for (int i = 0; i < rows; ++i) {
        OGRFeature f(layer->GetLayerDefn());
        if (i % 10) f.SetField(0, ("name " + std::to_string(i)).c_str());
        f.SetField(1, i);
        f.SetField(2, i * 0.25);
        f.SetField(3, 2000 + i % 20, 1 + i % 12, 1 + i % 28);
        f.SetField(4, ("c" + std::to_string(i % 97)).c_str());
        f.SetField(5, i * 7);
        f.SetField(6, i / 3.0);
        f.SetField(7, ("s" + std::to_string(i * 13)).c_str());
        f.SetField(8, static_cast<GIntBig>(i) * 100003);
        f.SetField(9, "y");
        OGRPoint point(i % 1000 * 0.01, i / 1000 * 0.01);
        f.SetGeometry(&point);
        if (layer->CreateFeature(&f) != OGRERR_NONE) fail("cannot write a row");
    }
    if (transaction) dataset->CommitTransaction();
}

// The process's peak resident memory. Not getrusage(): a process spawned
// with vfork counts its parent's peak as its own.
long peakMemoryKb()
{
    std::FILE* status = std::fopen("/proc/self/status", "r");
    char line[256];
    long kb = 0;
    while (status && std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
    if (status) std::fclose(status);
    return kb;
}

// One rename or deletion through the real dialog; prints its seconds and
// the process's peak memory.
void gdalThreeSteps(const std::string& path, bool geoPackage);

int child(const std::string& what, const std::string& path, const std::string& table, int argc, char** argv)
{
    if (what == "gdal") {
        GDALAllRegister();
        const double seconds = timed([&] { gdalThreeSteps(path, fs::path(path).extension() == ".gpkg"); });
        std::printf("%.6f %ld\n", seconds, peakMemoryKb());
        return 0;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    GDALAllRegister();
    const gistest::Host host({path});
    QString said;
    forms::testing::setMessageHandler([&](const forms::MessageRecord& m) {
        said = m.text;
        return m.kind == forms::MsgKind::Question ? forms::Answer::Yes : forms::Answer::Ok;
    });
    quillet::frmQuillet form;
    form.load();
    double seconds = 0;
    if (what == "rename") {
        forms::selectDropDownEntry(form.cboTargetLayerRename, form.cboTargetLayerRename->findText(table.c_str()));
        forms::selectDropDownEntry(form.cboCurrentFieldName, form.cboCurrentFieldName->findText("name"));
        form.txtNewFieldName->setText("label");
        seconds = timed([&] { form.cmdConvert_Click(); });
        if (said != quillet::text::renamed) fail("the rename failed: " + said.toStdString());
    } else {
        forms::selectDropDownEntry(form.cboTargetLayer, form.cboTargetLayer->findText(table.c_str()));
        const auto items = form.lstAvailableFields->findItems("name", Qt::MatchExactly);
        if (items.empty()) fail(table + " has no field name to delete");
        form.lstAvailableFields->setCurrentItem(items.front());
        form.cmdAdd_Click();
        seconds = timed([&] { form.cmdDelete_Click(); });
        if (said != quillet::text::deletedAll) fail("the deletion failed: " + said.toStdString());
    }
    form.unload();
    std::printf("%.6f %ld\n", seconds, peakMemoryKb());
    return 0;
}

struct ChildResult {
    double seconds = 0;
    long peakKb = 0;
};

// Runs this program as a child for one dialog run: its time and peak memory.
ChildResult inChild(const std::string& what, const std::string& path, const std::string& table = layerName)
{
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string output = path + ".seconds";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const char* argv[] = {self.c_str(), "--child", what.c_str(), path.c_str(), table.c_str(), nullptr};
    pid_t pid = 0;
    if (posix_spawn(&pid, self.c_str(), &actions, nullptr, const_cast<char**>(argv), environ) != 0) fail("spawn");
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) fail(what + " in a child process failed");
    ChildResult result;
    if (FILE* in = std::fopen(output.c_str(), "r")) {
        if (std::fscanf(in, "%lf %ld", &result.seconds, &result.peakKb) != 2) fail("no figures from the child");
        std::fclose(in);
    }
    fs::remove(output);
    return result;
}

GDALDatasetUniquePtr openForUpdate(const std::string& path)
{
    GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE));
    if (!dataset) fail("cannot open " + path);
    return dataset;
}

void sql(GDALDataset& dataset, const std::string& statement)
{
    if (runtime::failed(engine::executeSql(dataset, statement))) fail(statement + ": " + CPLGetLastErrorMsg());
}

// Before 3.6.4 GDAL's FileGDB writer corrupts rows it moves into free
// space; a free-space list that is a folder keeps it from reusing any, as
// the engine does.
void noFreeSpaceReuse(const std::string& gdb)
{
    for (const auto& entry : fs::directory_iterator(gdb)) {
        if (entry.path().extension() != ".gdbtable") continue;
        const fs::path list = fs::path(entry.path()).replace_extension(".freelist");
        fs::remove(list);
        fs::create_directory(list);
    }
}

// GDAL's own three steps, closing the dataset as part of the work.
void gdalThreeSteps(const std::string& path, bool geoPackage)
{
    auto dataset = openForUpdate(path);
    if (geoPackage) {
        sql(*dataset, "ALTER TABLE survey ADD COLUMN label TEXT(24)");
        sql(*dataset, "UPDATE survey SET label = name");
        sql(*dataset, "ALTER TABLE survey DROP COLUMN name");
        return;
    }
    OGRLayer* layer = dataset->GetLayerByName(layerName);
    OGRFieldDefn label("label", OFTString);
    label.SetWidth(24);
    if (layer->CreateField(&label) != OGRERR_NONE) fail("CreateField");
    const int from = layer->GetLayerDefn()->GetFieldIndex("name");
    const int to = layer->GetLayerDefn()->GetFieldIndex("label");
    for (auto& feature : *layer) {
        if (feature->IsFieldSetAndNotNull(from)) feature->SetField(to, feature->GetFieldAsString(from));
        if (layer->SetFeature(feature.get()) != OGRERR_NONE) fail("SetFeature");
    }
    if (layer->DeleteField(from) != OGRERR_NONE) fail("DeleteField");
}

void gdalStatement(const std::string& path, const std::string& statement)
{
    auto dataset = openForUpdate(path);
    sql(*dataset, statement);
}

// A program run as a shell runs it, its output dropped.
void runProgram(const std::string& command)
{
    if (std::system((command + " > /dev/null").c_str()) != 0) fail(command);
}

// ogrinfo with one statement; `sqlite` for GDAL's SQLite dialect, which
// updates a shapefile's rows where OGR's own SQL cannot.
void ogrinfoSql(const std::string& path, const std::string& statement, bool sqlite = false)
{
    runProgram("ogrinfo -q '" + path + "' " + (sqlite ? "-dialect SQLite " : "") + "-sql \"" + statement + "\"");
}

void ogrinfoThreeSteps(const std::string& path, bool geoPackage)
{
    ogrinfoSql(path, geoPackage ? "ALTER TABLE survey ADD COLUMN label TEXT(24)"
                                : "ALTER TABLE survey ADD COLUMN label character(24)");
    ogrinfoSql(path, "UPDATE survey SET label = name", !geoPackage);
    ogrinfoSql(path, "ALTER TABLE survey DROP COLUMN name");
}

// The command that flushes every file at `path` (a file or a folder).
std::string syncEveryFileCommand(const std::string& path) { return "find '" + path + "' -type f -exec sync {} +"; }

void copyAndSync(const std::string& from, const std::string& to)
{
    const std::string command = "cp -r '" + from + "' '" + to + "' && " + syncEveryFileCommand(to);
    if (std::system(command.c_str()) != 0) fail(command);
}

std::uintmax_t bytesUnder(const fs::path& folder)
{
    std::uintmax_t bytes = 0;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        bytes += entry.is_regular_file() ? entry.file_size() : 0;
    return bytes;
}

// A copy of `from` at `to`, on the disk already.
std::string freshCopy(const fs::path& from, const fs::path& to)
{
    fs::remove_all(to);
    fs::copy(from, to, fs::copy_options::recursive);
    if (std::system(syncEveryFileCommand(to.string()).c_str()) != 0) fail("sync");
    return to.string();
}

struct Format {
    const char* name;
    const char* driver;
    const char* file;
    const char* dataFile;
    bool geoPackage;
    bool fileGdb;
};

struct Figures {
    double rename, threeSteps, oneStep, copy, deletion, drop;
    long renamePeakKb, deletePeakKb, threeStepsPeakKb;
    double cli, ogrinfoThree, ogrinfoOne;
};

Figures measure(const Format& format, int rows, const fs::path& folder)
{
    const fs::path original = folder / ("original-" + std::to_string(rows) + "-" + format.name);
    const fs::path work = folder / "work";
    fs::create_directories(original);
    std::fprintf(stderr, "writing %d rows of %s...\n", rows, format.name);
    writeTable(format.driver, (original / format.file).string(), rows);
    // Each run starts from a copy that is on the disk already, so that no run
    // pays for writing the copy out.
    const auto fresh = [&] {
        freshCopy(original, work);
        return (work / format.file).string();
    };
    // The best of a few runs: others' work on the machine only ever adds.
    constexpr int runs = 3;
    Figures f{1e300, 1e300, 1e300, 1e300, 1e300, 1e300, 0, 0, 0, 1e300, 1e300, 1e300};
    const auto best = [](double& kept, double seconds) { kept = std::min(kept, seconds); };
    for (int run = 0; run < runs; ++run) {
        std::fprintf(stderr, "measuring %s, run %d of %d...\n", format.name, run + 1, runs);
        const ChildResult renamed = inChild("rename", fresh());
        best(f.rename, renamed.seconds);
        f.renamePeakKb = std::max(f.renamePeakKb, renamed.peakKb);
        const ChildResult deleted = inChild("delete", fresh());
        best(f.deletion, deleted.seconds);
        f.deletePeakKb = std::max(f.deletePeakKb, deleted.peakKb);
        std::string path = fresh();
        if (format.fileGdb) noFreeSpaceReuse(path);
        const ChildResult gdal = inChild("gdal", path);
        best(f.threeSteps, gdal.seconds);
        f.threeStepsPeakKb = std::max(f.threeStepsPeakKb, gdal.peakKb);
        path = fresh();
        best(f.oneStep, timed([&] { gdalStatement(path, "ALTER TABLE survey RENAME COLUMN name TO label"); }));
        path = fresh();
        best(f.drop, timed([&] { gdalStatement(path, "ALTER TABLE survey DROP COLUMN name"); }));
        const std::string data = (work / format.dataFile).string();
        best(f.copy, timed([&] { copyAndSync(data, data + ".copy"); }));
        // The command line's own cost is the same on every format.
        if (format.fileGdb) continue;
        path = fresh();
        best(f.cli, timed([&] { runProgram(std::string(QUILLET_CLI) + " rename name label '" + path + "'"); }));
        path = fresh();
        best(f.ogrinfoThree, timed([&] { ogrinfoThreeSteps(path, format.geoPackage); }));
        path = fresh();
        best(f.ogrinfoOne, timed([&] { ogrinfoSql(path, "ALTER TABLE survey RENAME COLUMN name TO label"); }));
    }
    fs::remove_all(work);
    fs::remove_all(original);
    return f;
}

struct GdbFigures {
    double besideLarge = 1e300, alone = 1e300;
    std::uintmax_t written = 0, afterRenames = 0;
};

// FileGDB: a rename of a small table in a folder that also holds the large
// one, against the same table alone in its folder; and the folder's size
// after three renames of the large table against the size it was written at.
GdbFigures fileGdbTables(int rows, const fs::path& folder)
{
    const fs::path large = folder / "large.gdb", alone = folder / "alone.gdb", work = folder / "work.gdb";
    std::fprintf(stderr, "writing %d rows and 1,000 beside them in a FileGDB...\n", rows);
    writeTable("OpenFileGDB", large.string(), rows);
    writeTable("OpenFileGDB", large.string(), 1000, "notes");
    writeTable("OpenFileGDB", alone.string(), 1000, "notes");
    GdbFigures f;
    for (int run = 0; run < 3; ++run) {
        f.besideLarge = std::min(f.besideLarge, inChild("rename", freshCopy(large, work), "notes").seconds);
        f.alone = std::min(f.alone, inChild("rename", freshCopy(alone, work), "notes").seconds);
    }
    const std::string path = freshCopy(large, work);
    f.written = bytesUnder(path);
    for (const char* step : {" name a ", " a b ", " b label "})
        runProgram(std::string(QUILLET_CLI) + " rename --layer survey" + step + "'" + path + "'");
    f.afterRenames = bytesUnder(path);
    fs::remove_all(large);
    fs::remove_all(alone);
    fs::remove_all(work);
    return f;
}

// A GeoPackage of many layers of many fields, with a row each.
void writeLayers(const std::string& path, int layers, int fields)
{
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
    GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    dataset->StartTransaction();
    for (int l = 0; l < layers; ++l) {
        OGRLayer* layer = dataset->CreateLayer(("layer" + std::to_string(l)).c_str(), nullptr, wkbPoint, nullptr);
        for (int i = 0; i < fields; ++i) {
            OGRFieldDefn field(("field" + std::to_string(i)).c_str(), i % 3 ? OFTString : OFTInteger);
            if (layer->CreateField(&field) != OGRERR_NONE) fail("cannot create a field of a listing layer");
        }
        OGRFeature f(layer->GetLayerDefn());
        if (layer->CreateFeature(&f) != OGRERR_NONE) fail("cannot write a row");
    }
    dataset->CommitTransaction();
}

std::size_t gdalReadsDefinitions(const std::string& path)
{
    GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    std::size_t seen = 0;
    for (OGRLayer* layer : dataset->GetLayers()) {
        const OGRFeatureDefn& definition = *layer->GetLayerDefn();
        for (int i = 0; i < definition.GetFieldCount(); ++i)
            seen += definition.GetFieldDefn(i)->GetNameRef()[0] != 0 && definition.GetFieldDefn(i)->GetType() >= 0;
    }
    return seen;
}

// What the dialog asks of each field when it lists a layer: its name, its
// type and whether it is required.
std::size_t gishostListsFields(const std::string& path)
{
    const auto loaded = gishost::loadDocument({path});
    runtime::ComPtr<host::IMap> map;
    std::int32_t layers = 0;
    loaded.document->get_Item(0, map.put());
    map->get_LayerCount(&layers);
    std::size_t seen = 0;
    for (std::int32_t l = 0; l < layers; ++l) {
        runtime::ComPtr<host::ILayer> layer;
        runtime::ComPtr<host::IFeatureClass> featureClass;
        runtime::ComPtr<host::IFieldCollection> fields;
        std::int32_t count = 0;
        map->get_Layer(l, layer.put());
        layer.asOrNull<host::IFeatureLayer>()->get_FeatureClass(featureClass.put());
        featureClass->get_Fields(fields.put());
        fields->get_FieldCount(&count);
        for (std::int32_t i = 0; i < count; ++i) {
            runtime::ComPtr<host::IFieldDefinition> field;
            std::u16string name;
            std::int32_t type = 0;
            bool required = false;
            fields->get_Field(i, field.put());
            field->get_Name(&name);
            field->get_Type(&type);
            field->get_Required(&required);
            seen += !name.empty() && !required;
        }
    }
    return seen;
}

double fastest(const std::function<void()>& run, int repeats)
{
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) best = std::min(best, timed(run));
    return best;
}

void listing(const fs::path& folder)
{
    const std::string many = (folder / "layers.gpkg").string();
    const std::string wide = (folder / "wide.gpkg").string();
    const std::string narrow = (folder / "narrow.gpkg").string();
    writeLayers(many, 200, 50);
    writeLayers(wide, 1, 500);
    writeLayers(narrow, 1, 50);
    const double gdal = fastest([&] { gdalReadsDefinitions(many); }, 5);
    const double gishost = fastest([&] { gishostListsFields(many); }, 5);
    const double wideTime = fastest([&] { gishostListsFields(wide); }, 5);
    const double narrowTime = fastest([&] { gishostListsFields(narrow); }, 5);
    std::printf("\nField listing, 200 layers x 50 fields (GeoPackage), opening included:\n");
    std::printf("  GDAL reading the definitions %.1f ms, gishost listing every field %.1f ms: ratio %.2f\n",
                gdal * 1e3, gishost * 1e3, gishost / gdal);
    std::printf("  one layer of 500 fields %.2f ms, of 50 fields %.2f ms: ratio %.1f (10 is linear)\n",
                wideTime * 1e3, narrowTime * 1e3, wideTime / narrowTime);
}

} // namespace

int main(int argc, char** argv)
{
    if ((argc == 4 || argc == 5) && std::string(argv[1]) == "--child")
        return child(argv[2], argv[3], argc == 5 ? argv[4] : layerName, argc, argv);
    GDALAllRegister();
    if (argc == 5 && std::string(argv[1]) == "--write") {
        writeTable(argv[2], argv[3], std::atoi(argv[4]));
        return 0;
    }
    std::vector<int> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(std::atoi(argv[i]));
    if (sizes.empty()) sizes = {100000, 1000000};
    char folderTemplate[] = "/tmp/quillet-engine-bench-XXXXXX";
    const fs::path folder = mkdtemp(folderTemplate);
    const Format formats[] = {{"shapefile", "ESRI Shapefile", "survey.shp", "survey.dbf", false, false},
                              {"GeoPackage", "GPKG", "survey.gpkg", "survey.gpkg", true, false},
                              {"FileGDB", "OpenFileGDB", "survey.gdb", "survey.gdb", false, true}};
    constexpr std::size_t formatCount = std::size(formats);
    std::vector<std::pair<std::string, Figures>> results;
    for (int rows : sizes)
        for (const Format& format : formats)
            results.emplace_back(std::to_string(rows) + " rows " + format.name, measure(format, rows, folder));

    std::printf("Seconds (best of 3), and gishost through the dialog as a share of each way measured in the same run:\n");
    for (const auto& [what, f] : results) {
        std::printf("\n%s\n", what.c_str());
        std::printf("  rename %.3f s: GDAL three steps %.3f s (ratio %.3f), one-step RENAME COLUMN %.3f s (%.1f), "
                    "cp + sync %.3f s (%.1f)\n",
                    f.rename, f.threeSteps, f.rename / f.threeSteps, f.oneStep, f.rename / f.oneStep, f.copy,
                    f.rename / f.copy);
        std::printf("  delete %.3f s: GDAL DROP COLUMN %.3f s (ratio %.3f), cp + sync %.3f s (%.1f)\n", f.deletion,
                    f.drop, f.deletion / f.drop, f.copy, f.deletion / f.copy);
        std::printf("  peak memory: rename %ld kB, delete %ld kB, GDAL three steps %ld kB (a process without Qt)\n",
                    f.renamePeakKb, f.deletePeakKb, f.threeStepsPeakKb);
        if (f.cli > 1e299) continue;
        std::printf("  quillet rename (the program, started and ended) %.3f s: ogrinfo three SQL steps %.3f s "
                    "(ratio %.3f), ogrinfo one-step RENAME COLUMN %.3f s (%.1f), the dialog's rename %.3f s (%.2f)\n",
                    f.cli, f.ogrinfoThree, f.cli / f.ogrinfoThree, f.ogrinfoOne, f.cli / f.ogrinfoOne, f.rename,
                    f.cli / f.rename);
    }
    if (results.size() >= 2 * formatCount) {
        std::printf("\nPeak memory, largest size against the smallest:\n");
        for (std::size_t i = 0; i < formatCount; ++i) {
            const Figures& small = results[i].second;
            const Figures& large = results[results.size() - formatCount + i].second;
            std::printf("  %s: rename %.2f, delete %.2f, GDAL three steps %.2f\n", formats[i].name,
                        static_cast<double>(large.renamePeakKb) / small.renamePeakKb,
                        static_cast<double>(large.deletePeakKb) / small.deletePeakKb,
                        static_cast<double>(large.threeStepsPeakKb) / small.threeStepsPeakKb);
        }
    }
    std::printf("\nFileGDB, a table of 1,000 rows renamed beside a large one, and the large table renamed three times:\n");
    for (int rows : sizes) {
        const GdbFigures f = fileGdbTables(rows, folder);
        std::printf("  beside %d rows %.3f s, alone %.3f s: ratio %.2f; size written %.1f MB, after three renames "
                    "%.1f MB: ratio %.3f\n",
                    rows, f.besideLarge, f.alone, f.besideLarge / f.alone, f.written / 1e6, f.afterRenames / 1e6,
                    static_cast<double>(f.afterRenames) / f.written);
    }
    listing(folder);
    fs::remove_all(folder);
    return 0;
}
