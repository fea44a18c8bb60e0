// The aliases GeoPackage keeps in gpkg_data_columns, in files whose table
// is defined the standard's way, the older ways or not at all: an alias
// given to a column moves away from another column only where the file
// refuses it twice, and comes back once the column that took it is gone.

#include "engine/sqlite/GpkgAliases.h"

#include "GpkgMetadata.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <map>

namespace {

using gistest::DataColumns;
using Aliases = std::map<std::string, std::string>;

struct Case {
    const char* what;
    DataColumns definition;
    // Whom "County name" moves away from when "note" takes it.
    const char* movedFrom;
};

TEST(GpkgAliases, AnAliasMovesOnlyWhereTheFileKeepsItOnceAndComesBack)
{
    const Case cases[] = {
        {"standard", DataColumns::Standard, "name"},
        {"once per file", DataColumns::AliasOncePerFile, "name"},
        {"repeatable", DataColumns::AliasRepeatable, ""},
        {"no table", DataColumns::None, ""},
    };
    for (const Case& c : cases) {
        const QTemporaryDir temp;
        const std::string path = gistest::writeDescribedGeoPackage(temp.path().toStdString(), c.definition);
        const GDALDatasetUniquePtr gpkg(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE));
        ASSERT_TRUE(gpkg) << c.what;
        const std::string moved = c.movedFrom;

        Aliases before;
        ASSERT_EQ(engine::readGpkgAliases(*gpkg, "counties", before), runtime::S_OK) << c.what;
        EXPECT_EQ(before.count("name"), c.definition == DataColumns::None ? 0u : 1u) << c.what;

        std::string movedFrom = "unset";
        ASSERT_EQ(engine::writeGpkgAlias(*gpkg, "counties", "note", "County name", &movedFrom), runtime::S_OK)
            << c.what;
        EXPECT_EQ(movedFrom, moved) << c.what;
        Aliases after;
        ASSERT_EQ(engine::readGpkgAliases(*gpkg, "counties", after), runtime::S_OK) << c.what;
        EXPECT_EQ(after["note"], "County name") << c.what;
        EXPECT_EQ(after.count("name"), moved.empty() ? before.count("name") : 0u) << c.what;
        Aliases towns;
        ASSERT_EQ(engine::readGpkgAliases(*gpkg, "towns", towns), runtime::S_OK) << c.what;
        EXPECT_EQ(towns.count("note"), 0u) << c.what << ": another table's column of the same name";

        ASSERT_EQ(engine::forgetGpkgColumn(*gpkg, "counties", "note"), runtime::S_OK) << c.what;
        if (!moved.empty()) {
            ASSERT_EQ(engine::returnGpkgAlias(*gpkg, "counties", moved, "County name"), runtime::S_OK) << c.what;
        }
        Aliases restored;
        ASSERT_EQ(engine::readGpkgAliases(*gpkg, "counties", restored), runtime::S_OK) << c.what;
        EXPECT_EQ(restored, before) << c.what;
    }
}

} // namespace
