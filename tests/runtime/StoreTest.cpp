#include "TempStore.h"

#include <gtest/gtest.h>

#include <fstream>

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
