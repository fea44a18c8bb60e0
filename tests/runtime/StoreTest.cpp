#include "TempStore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include <sys/wait.h>
#include <unistd.h>

using runtime::Guid;
using runtime::guid;

namespace {
constexpr Guid clsid = guid("{11111111-2222-3333-4444-555555555555}");
constexpr Guid libid = guid("{AAAAAAAA-2222-3333-4444-555555555555}");
constexpr Guid category = guid("{CCCCCCCC-2222-3333-4444-555555555555}");
} // namespace

TEST(Store, RegistrationRoundTrip)
{
    testsupport::TempStore temp;
    const runtime::Store store = temp.store();
    ASSERT_EQ(store.registerClass({clsid, "clsThing", "Lib.clsThing", "/x/lib.so", "Apartment", libid}), runtime::S_OK);
    ASSERT_EQ(store.registerTypeLib({libid, "Lib", "1.0", "/x/lib.so"}), runtime::S_OK);
    ASSERT_EQ(store.addToCategory(category, clsid), runtime::S_OK);
    ASSERT_EQ(store.addToCategory(category, clsid), runtime::S_OK);

    const auto entry = runtime::Store(temp.path()).findClass(clsid);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->progId, "Lib.clsThing");
    EXPECT_EQ(entry->modulePath, "/x/lib.so");
    EXPECT_EQ(entry->threadingModel, "Apartment");
    EXPECT_EQ(entry->typeLib, libid);
    EXPECT_EQ(store.clsidFromProgId("Lib.clsThing"), clsid);
    EXPECT_EQ(store.findTypeLib(libid)->version, "1.0");
    EXPECT_EQ(store.classesInCategory(category), std::vector<Guid>{clsid});

    EXPECT_EQ(store.unregisterClass(clsid), runtime::S_OK);
    EXPECT_EQ(store.unregisterTypeLib(libid), runtime::S_OK);
    EXPECT_EQ(store.removeFromCategory(category, clsid), runtime::S_OK);
    EXPECT_FALSE(store.findClass(clsid));
    EXPECT_FALSE(store.clsidFromProgId("Lib.clsThing"));
    EXPECT_FALSE(store.mentions(clsid));
    EXPECT_FALSE(store.mentions(libid));
}

TEST(Store, ADamagedStoreIsNeitherReadNorOverwritten)
{
    testsupport::TempStore temp;
    std::ofstream(temp.path()) << "{ not json";
    const runtime::Store store = temp.store();
    EXPECT_FALSE(store.findClass(clsid));
    EXPECT_EQ(store.registerClass({clsid, "c", "P.c", "/m.so", "Apartment", {}}), runtime::REGDB_E_WRITEREGDB);
    std::ifstream in(temp.path());
    std::string content((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(content, "{ not json");
}

namespace {
runtime::Guid numbered(int n)
{
    char text[64];
    std::snprintf(text, sizeof text, "{%08X-2222-3333-4444-555555555555}", n);
    return *Guid::parse(text);
}
} // namespace

// A package's file in the machine's folder registers for every user; the
// user's own store comes first and takes every change.
TEST(Store, TheMachineLayerLiesBelowTheUsersStore)
{
    testsupport::TempStore temp;
    const std::string system = temp.systemFolder();
    runtime::Store(system + "/pkg.json").registerClass({clsid, "clsThing", "Lib.clsThing", "/usr/lib/x/lib.so", "Apartment", {}});
    runtime::Store(system + "/pkg.json").addToCategory(category, clsid);
    runtime::Store(system + "/other.json").registerClass({numbered(7), "c7", "Lib.c7", "/usr/lib/x/lib.so", "Apartment", {}});
    std::ofstream(system + "/broken.json") << "{ not json";
    std::ofstream(system + "/notes.txt") << "not a layer";

    const runtime::Store store = temp.store();
    ASSERT_TRUE(store.findClass(clsid));
    EXPECT_EQ(store.findClass(clsid)->modulePath, "/usr/lib/x/lib.so");
    EXPECT_EQ(store.clsidFromProgId("Lib.c7"), numbered(7));
    EXPECT_EQ(store.classesOfModule("/usr/lib/x/lib.so").size(), 2u);

    ASSERT_EQ(store.registerClass({clsid, "clsThing", "Lib.clsThing", "/home/me/lib.so", "Apartment", {}}), runtime::S_OK);
    ASSERT_EQ(store.addToCategory(category, numbered(7)), runtime::S_OK);
    EXPECT_EQ(store.findClass(clsid)->modulePath, "/home/me/lib.so");
    EXPECT_EQ(store.classesInCategory(category), (std::vector<Guid>{numbered(7), clsid}));

    ASSERT_EQ(store.unregisterClass(clsid), runtime::S_OK);
    EXPECT_EQ(store.findClass(clsid)->modulePath, "/usr/lib/x/lib.so");
    EXPECT_TRUE(runtime::Store(system + "/pkg.json").findClass(clsid));
}

// Processes registering at the same moment (a package install beside a
// running host) each keep every entry they wrote.
TEST(Store, ConcurrentRegistrationsLoseNothing)
{
    testsupport::TempStore temp;
    constexpr int processes = 6, each = 15;
    std::vector<pid_t> children;
    for (int p = 0; p < processes; ++p) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const runtime::Store store(temp.path());
            int failed = 0;
            for (int i = 0; i < each; ++i)
                failed += store.registerClass({numbered(p * 100 + i), "c", "", "/m.so", "Apartment", {}}) != runtime::S_OK;
            _exit(failed);
        }
        children.push_back(pid);
    }
    for (const pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const runtime::Store store = temp.store();
    for (int p = 0; p < processes; ++p)
        for (int i = 0; i < each; ++i) EXPECT_TRUE(store.findClass(numbered(p * 100 + i))) << p << " " << i;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(temp.path()).parent_path()))
        EXPECT_TRUE(entry.path().extension() == ".json" || entry.path().extension() == ".lock" ||
                    entry.is_directory())
            << "left behind: " << entry.path();
}
