// Opening a dataset: the traces a crash left beside a folder or a
// shapefile's table are undone, and only there.

#include "engine/core/Dataset.h"

#include "DataReadBack.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <unistd.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

// The working folder for as long as this lives.
class InFolder {
public:
    explicit InFolder(const fs::path& folder) : previous_(fs::current_path()) { fs::current_path(folder); }
    ~InFolder() { fs::current_path(previous_); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

private:
    fs::path previous_;
};

// A connection string names no folder: what lies in the working folder
// under a name made from it is none of its business.
TEST(DatasetOpen, AConnectionStringRecoversNothingInTheWorkingFolder)
{
    const QTemporaryDir temp;
    const fs::path root = temp.path().toStdString();
    const std::string connection = "PG:dbname=gone port=1";
    // What a crash between a folder's two renames would leave.
    const fs::path aside = root / ("." + connection + ".quillet-old-" + gistest::deadPid);
    fs::create_directory(aside);
    const InFolder working(root);
    std::string problem;
    EXPECT_FALSE(engine::Dataset::open(connection, problem));
    EXPECT_TRUE(fs::exists(aside));
    EXPECT_FALSE(fs::exists(root / connection));
}

// A shapefile with one field and one row, as another program writes it.
void writeShapefile(const fs::path& shp)
{
    GDALAllRegister();
    auto* driver = GetGDALDriverManager()->GetDriverByName("ESRI Shapefile");
    GDALDataset* data = driver->Create(shp.c_str(), 0, 0, 0, GDT_Unknown, nullptr);
    ASSERT_TRUE(data);
    OGRLayer* layer = data->CreateLayer(shp.stem().c_str(), nullptr, wkbPoint, nullptr);
    OGRFieldDefn name("name", OFTString);
    ASSERT_EQ(layer->CreateField(&name), OGRERR_NONE);
    OGRFeature row(layer->GetLayerDefn());
    row.SetField("name", "a");
    ASSERT_EQ(layer->CreateFeature(&row), OGRERR_NONE);
    GDALClose(data);
}

// A rewrite killed midway leaves its hidden work .dbf: opening the dataset,
// by its .shp or its folder, removes it and says so; one a running process
// writes stays, and no work file reads as a table.
TEST(DatasetOpen, AShapefileLosesTheWorkFilesOfDeadProcessesOnly)
{
    for (const bool byFolder : {false, true}) {
        SCOPED_TRACE(byFolder ? "by folder" : "by .shp");
        const QTemporaryDir temp;
        const fs::path root = temp.path().toStdString();
        writeShapefile(root / "rivers.shp");
        const fs::path dead = root / (".rivers.quillet-" + gistest::deadPid + ".dbf");
        const fs::path alive = root / (".rivers.quillet-" + std::to_string(getppid()) + ".dbf");
        fs::copy_file(root / "rivers.dbf", dead);
        fs::copy_file(root / "rivers.dbf", alive);

        testing::internal::CaptureStderr();
        std::string problem;
        const auto dataset = engine::Dataset::open((byFolder ? root : root / "rivers.shp").string(), problem);
        const std::string log = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(dataset) << problem;
        EXPECT_FALSE(fs::exists(dead));
        EXPECT_NE(log.find(dead.string()), std::string::npos) << log;
        EXPECT_TRUE(fs::exists(alive));
        EXPECT_EQ(dataset->tableNames(), std::vector<std::string>{"rivers"});
    }
}

} // namespace
