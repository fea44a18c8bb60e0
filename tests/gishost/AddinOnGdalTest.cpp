// The real add-in dialog deletes and renames fields of GeoPackage, shapefile
// and FileGDB data through gishost's object model; the files are then read
// back with GDAL alone.

#include "GisTestSupport.h"

#include "dialog/Messages.h"
#include "gishost/sample/SampleData.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using gistest::Dialog;
using gistest::LayerContent;
using gistest::Rename;

struct FormatCase {
    const char* format;
    std::function<std::string(const std::filesystem::path&)> write;
    std::string layer;
    std::vector<std::string> deleted;
    std::vector<Rename> renames;
    std::vector<std::string> neverListed;
};

std::ostream& operator<<(std::ostream& out, const FormatCase& c) { return out << c.format; }

const FormatCase formatCases[] = {
    {"GeoPackage", gishost::sample::writeGeoPackage, "cities", {"city_rank", "city_ratio"},
     {{"city_label", "city_name"}, {"city_count", "people"}, {"city_surveyed", "surveyed"}, {"city_measure", "size_m"}},
     {"fid", "geom"}},
    {"Shapefile", gishost::sample::writeShapefile, "rivers", {"flow", "class"},
     {{"name", "river"}, {"length_km", "len_km"}, {"surveyed", "seen_on"}}, {"FID", "Shape"}},
    {"FileGDB", gishost::sample::writeFileGdb, "lakes", {"lake_rank", "lake_ratio"},
     {{"lake_label", "lake_name"}, {"lake_count", "visitors"}, {"lake_surveyed", "surveyed"}},
     {"OBJECTID", "SHAPE", "Shape_Area", "Shape_Length"}},
    // Other fields of the same table: GDAL's own writer left rows unreadable here.
    {"FileGDBOtherFields", gishost::sample::writeFileGdb, "lakes", {"lake_count", "lake_measure"},
     {{"lake_label", "lake_name"}, {"lake_ratio", "ratio"}, {"lake_surveyed", "surveyed"}},
     {"OBJECTID", "SHAPE", "Shape_Area", "Shape_Length"}},
};

class AddinOnGdal : public ::testing::TestWithParam<FormatCase> {
protected:
    QTemporaryDir folder;
};

TEST_P(AddinOnGdal, DeletesAndRenamesKeepingEveryValueAndGeometry)
{
    const FormatCase& c = GetParam();
    const std::string path = c.write(folder.path().toStdString());
    const LayerContent before = gistest::readLayer(path, c.layer);
    {
        const gistest::Host host({path});
        Dialog dialog;
        for (const std::string& hidden : c.neverListed)
            EXPECT_FALSE(gistest::entries(*dialog.form.lstAvailableFields).contains(QString::fromStdString(hidden))) << hidden;
        dialog.deleteFields(c.layer, c.deleted);
        for (const Rename& r : c.renames) dialog.rename(c.layer, r);

        std::vector<std::string> expected{quillet::text::confirmDelete.toStdString(),
                                          quillet::text::deletedAll.toStdString()};
        expected.resize(expected.size() + c.renames.size(), quillet::text::renamed.toStdString());
        EXPECT_EQ(gistest::messages(dialog.ui), expected);
        EXPECT_TRUE(gistest::entries(*dialog.form.cboCurrentFieldName).contains(QString::fromStdString(c.renames[0].to)));
    }
    const LayerContent after = gistest::readLayer(path, c.layer);

    std::vector<std::pair<std::string, std::string>> renamed;
    for (const Rename& r : c.renames) renamed.emplace_back(r.from, r.to);
    const LayerContent expected = gistest::changed(before, c.deleted, renamed);
    EXPECT_EQ(after.fields, expected.fields);
    EXPECT_EQ(after.rows, expected.rows);
    EXPECT_EQ(after.geometries, before.geometries);
    EXPECT_EQ(after.geometries.size(), before.rows.size());
}

// The files cannot be written: the add-in reports every failure and not one
// byte changes on disk.
TEST_P(AddinOnGdal, ReadOnlyDataReportsFailureAndStaysByteForByte)
{
    const FormatCase& c = GetParam();
    const std::string path = c.write(folder.path().toStdString());
    gistest::setWritable(path, false);
    const auto files = gistest::datasetFiles(path);
    {
        const gistest::Host host({path});
        Dialog dialog;
        dialog.deleteFields(c.layer, c.deleted);
        dialog.rename(c.layer, c.renames[0]);
        const std::string from = c.renames[0].from;
        const std::vector<std::string> expected{
            quillet::text::confirmDelete.toStdString(),
            quillet::text::notDeleted(QString::fromStdString(c.deleted[0] + "\r" + c.deleted[1])).toStdString(),
            quillet::text::addFieldFailed(QString::fromStdString(from)).toStdString()};
        EXPECT_EQ(gistest::messages(dialog.ui), expected);
        EXPECT_TRUE(gistest::entries(*dialog.form.cboCurrentFieldName).contains(QString::fromStdString(c.renames[0].from)));
    }
    EXPECT_EQ(gistest::datasetFiles(path), files);
}

INSTANTIATE_TEST_SUITE_P(Formats, AddinOnGdal, ::testing::ValuesIn(formatCases),
                         [](const auto& info) { return std::string(info.param.format); });

} // namespace
