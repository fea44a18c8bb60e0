// A folder dataset changed as a copy swapped in: at every instant the folder
// is the whole old dataset or the whole new one, and a crash's traces are
// undone at the next open.

#include "engine/core/WorkCopy.h"

#include "DataReadBack.h"
#include "EngineWatch.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

// The renames of this program fail from the `failFrom`th one on while it
// is set; the swap's steps are renames, and nothing else makes them fail on
// demand. The swap in one step fails with `exchangeError` while it is set
// (EINVAL: a file system that cannot).
int renames = 0;
int failFrom = 0;
int exchangeError = 0;

} // namespace

extern "C" int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) noexcept
{
    using Rename = int (*)(int, const char*, int, const char*, unsigned);
    static const auto real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "renameat2"));
    if (exchangeError != 0) {
        errno = exchangeError;
        return -1;
    }
    return real(fromDir, from, toDir, to, flags);
}

extern "C" int rename(const char* from, const char* to) noexcept
{
    using Rename = int (*)(const char*, const char*);
    static const auto real = reinterpret_cast<Rename>(dlsym(RTLD_NEXT, "rename"));
    if (failFrom > 0 && ++renames >= failFrom) {
        errno = EXDEV;
        return -1;
    }
    return real(from, to);
}

namespace {

class WorkCopyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        fs::create_directory(folder);
        std::ofstream(folder / "a.table") << "old";
    }
    void TearDown() override { failFrom = renames = exchangeError = 0; }

    // A copy of the folder whose table says "new".
    std::unique_ptr<engine::WorkCopy> newCopy()
    {
        std::unique_ptr<engine::WorkCopy> copy;
        EXPECT_EQ(engine::WorkCopy::make(folder.string(), {}, copy), runtime::S_OK);
        if (copy) std::ofstream(fs::path(copy->path()) / "a.table") << "new";
        return copy;
    }
    std::vector<std::string> watched() const { return {(folder / "a.table").string()}; }
    std::string table() const { return gistest::filesUnder((folder / "a.table").string()).begin()->second; }
    // What is left beside the folder: hidden copies, by name.
    std::vector<std::string> beside() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(root))
            if (entry.path() != folder) names.push_back(entry.path().filename().string());
        return names;
    }

    QTemporaryDir temp;
    const fs::path root{temp.path().toStdString()};
    const fs::path folder = root / "data.gdb";
};

TEST_F(WorkCopyTest, ACopySwappedInReplacesTheFolderAndLeavesNothingBeside)
{
    const auto original = engine::stampsOf(watched());
    auto copy = newCopy();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->path(), engine::workPathOf(folder.string()));
    EXPECT_EQ(copy->swapIn(watched(), original), runtime::S_OK);
    copy.reset();
    EXPECT_EQ(table(), "new");
    EXPECT_TRUE(beside().empty());
}

// Files the change leaves alone are not in the copy it works on; they are
// linked in at the swap, the same files on disk. One removed by another
// program meanwhile makes the swap refuse, the folder as that program left it.
TEST_F(WorkCopyTest, UntouchedFilesAreLinkedInAtTheSwapAndOneGoneMeanwhileRefusesIt)
{
    for (const bool removedMeanwhile : {false, true}) {
        std::ofstream(folder / "a.table") << "old";
        std::ofstream(folder / "b.table") << "other";
        const auto inode = [&](const fs::path& path) {
            struct stat info {};
            return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
        };
        const ino_t other = inode(folder / "b.table");
        const std::vector<std::string> files = {(folder / "a.table").string(), (folder / "b.table").string()};
        const auto original = engine::stampsOf(files);
        std::unique_ptr<engine::WorkCopy> copy;
        ASSERT_EQ(engine::WorkCopy::make(folder.string(), [](const std::string& name) { return name == "b.table"; }, copy),
                  runtime::S_OK);
        EXPECT_FALSE(fs::exists(fs::path(copy->path()) / "b.table"));
        std::ofstream(fs::path(copy->path()) / "a.table") << "new";
        if (removedMeanwhile) fs::remove(folder / "b.table");
        EXPECT_EQ(copy->swapIn(files, original), removedMeanwhile ? runtime::E_FAIL : runtime::S_OK) << removedMeanwhile;
        copy.reset();
        EXPECT_EQ(table(), removedMeanwhile ? "old" : "new");
        if (!removedMeanwhile) {
            EXPECT_EQ(inode(folder / "b.table"), other);
        }
        EXPECT_TRUE(beside().empty());
    }
}

TEST_F(WorkCopyTest, ACopyNotSwappedInIsRemovedAndTheFolderKept)
{
    struct Case {
        const char* what;
        bool otherWrites;
    };
    for (const Case c : {Case{"dropped", false}, Case{"another program wrote meanwhile", true}}) {
        const auto original = engine::stampsOf(watched());
        auto copy = newCopy();
        ASSERT_TRUE(copy);
        if (c.otherWrites) {
            std::ofstream(folder / "a.table") << "theirs";
            const gistest::Reasons reasons;
            EXPECT_EQ(copy->swapIn(watched(), original), runtime::E_FAIL) << c.what;
            EXPECT_TRUE(reasons.mention("changed by another program")) << c.what;
        }
        copy.reset();
        EXPECT_EQ(table(), c.otherWrites ? "theirs" : "old") << c.what;
        EXPECT_TRUE(beside().empty()) << c.what;
    }
}

// The new copy cannot take the folder's place, nor can the old folder come
// back: the failure says where the data is, and the data is still there.
TEST_F(WorkCopyTest, AFailedSwapThatCannotBeUndoneSaysWhereTheDataIs)
{
    const auto original = engine::stampsOf(watched());
    auto copy = newCopy();
    ASSERT_TRUE(copy);
    const gistest::Reasons reasons;
    exchangeError = EINVAL;
    failFrom = 2; // the folder moves aside; neither rename after it works
    EXPECT_EQ(copy->swapIn(watched(), original), runtime::E_FAIL);
    failFrom = 0;
    copy.reset();
    ASSERT_EQ(reasons.heard.size(), 2u);
    EXPECT_NE(reasons.heard[0].find("could not put its new copy in its place"), std::string::npos) << reasons.heard[0];
    const std::string aside = ".data.quillet-old-" + std::to_string(getpid()) + ".gdb";
    EXPECT_NE(reasons.heard[1].find(aside), std::string::npos) << reasons.heard[1];
    EXPECT_EQ(beside(), std::vector<std::string>{aside});
    EXPECT_EQ(gistest::filesUnder((root / aside / "a.table").string()).begin()->second, "old");
}

// Where the file system cannot swap in one step, two renames do it; where
// the swap fails otherwise, the folder stays as it was.
TEST_F(WorkCopyTest, TheSwapInOneStepFallsBackOnlyWhereTheFileSystemCannot)
{
    struct Case {
        int error;
        runtime::HResult expected;
        const char* table;
    } cases[] = {{EINVAL, runtime::S_OK, "new"}, {EIO, runtime::E_FAIL, "old"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::strerror(c.error));
        std::ofstream(folder / "a.table") << "old";
        const auto original = engine::stampsOf(watched());
        auto copy = newCopy();
        ASSERT_TRUE(copy);
        exchangeError = c.error;
        EXPECT_EQ(copy->swapIn(watched(), original), c.expected);
        exchangeError = 0;
        copy.reset();
        EXPECT_EQ(table(), c.table);
        EXPECT_TRUE(beside().empty());
    }
}

TEST_F(WorkCopyTest, RecoveryUndoesWhatADeadProcessLeftAndNothingOfALiveOne)
{
    const std::string& dead = gistest::deadPid;
    const std::string alive = std::to_string(getpid());
    struct Case {
        const char* what;
        std::string leftover;
        bool folderThere;
        bool leftoverStays;
    };
    const Case cases[] = {
        {"the old folder, its place empty", ".data.quillet-old-" + dead + ".gdb", false, false},
        {"the old folder beside the new one", ".data.quillet-old-" + dead + ".gdb", true, false},
        {"a half-made copy", ".data.quillet-" + dead + ".gdb", true, false},
        {"a copy being made now", ".data.quillet-" + alive + ".gdb", true, true},
        {"another dataset's copy", ".other.quillet-" + dead + ".gdb", true, true},
    };
    for (const Case& c : cases) {
        fs::remove_all(folder);
        fs::create_directory(root / c.leftover);
        std::ofstream(root / c.leftover / "a.table") << "old";
        if (c.folderThere) {
            fs::create_directory(folder);
            std::ofstream(folder / "a.table") << "new";
        }
        engine::WorkCopy::recover(folder.string());
        EXPECT_EQ(fs::exists(root / c.leftover), c.leftoverStays) << c.what;
        EXPECT_TRUE(fs::exists(folder / "a.table")) << c.what << ": the dataset is there afterwards";
        fs::remove_all(root / c.leftover);
    }
}

} // namespace
