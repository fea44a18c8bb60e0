// Opening a dataset: the traces a crash left beside a folder are undone,
// and only beside folders.

#include "engine/core/Dataset.h"

#include "DataReadBack.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

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

} // namespace
