// The real Quillet module, created by ProgID through the plugin's toolbar
// button, deletes and renames fields of the sample project's layers in QGIS:
// GeoPackage, shapefile, FileGDB and memory. The files are then read back
// with GDAL alone, and every layer through QGIS without reloading anything.

#include "GpkgMetadata.h"
#include "QgisTestSupport.h"

#include "dialog/Messages.h"
#include "qgis/model/Reasons.h"

#include <gtest/gtest.h>

#include <qgsfeatureiterator.h>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <qgsproject.h>


#include <algorithm>

namespace {

using qgistest::QgisContent;
using qgistest::QgisHost;
using qgistest::Rename;


struct FormatCase {
    const char* format;
    QString layer;
    const char* file; // null for a memory layer
    int memoryRows;
    QStringList deleted;
    std::vector<Rename> renames;
};

std::ostream& operator<<(std::ostream& out, const FormatCase& c) { return out << c.format; }

// Renames cover every type a format has; the memory layer is large enough
// for its copy to take several batches.
const FormatCase formatCases[] = {
    {"GeoPackage", "cities", "quillet_sample.gpkg", 3, {"city_count", "city_measure"},
     {{"city_label", "city_name"}, {"city_rank", "rank"}, {"city_ratio", "ratio"}, {"city_surveyed", "surveyed"}}},
    {"Shapefile", "rivers", "rivers.shp", 3, {"flow", "class"},
     {{"name", "river"}, {"length_km", "len_km"}, {"surveyed", "seen_on"}}},
    {"FileGDB", "lakes", "quillet_sample.gdb", 3, {"lake_count", "lake_measure"},
     {{"lake_label", "lake_name"}, {"lake_ratio", "ratio"}, {"lake_surveyed", "surveyed"}}},
    {"Memory", "places", nullptr, 25000, {"big"},
     {{"name", "title"}, {"visits", "count"}, {"ratio", "share"}, {"seen", "seen_on"}, {"open", "is_open"}}},
};

QgisContent expectedInQgis(const QgisContent& content, const FormatCase& c, const gistest::LayerContent* onDisk)
{
    // The new field carries the alias the data source had for the old one.
    std::map<QString, QString> aliases;
    for (const Rename& r : c.renames)
        if (onDisk) aliases[r.from] = QString::fromStdString(onDisk->fields.at(r.from.toStdString()).alias);
    return qgistest::changed(content, c.deleted, c.renames, aliases);
}

gistest::LayerContent expectedOnDisk(gistest::LayerContent content, const FormatCase& c)
{
    std::vector<std::string> deleted;
    for (const QString& gone : c.deleted) deleted.push_back(gone.toStdString());
    std::vector<std::pair<std::string, std::string>> renamed;
    for (const Rename& r : c.renames) renamed.emplace_back(r.from.toStdString(), r.to.toStdString());
    return gistest::changed(std::move(content), deleted, renamed);
}

class AddinInQgis : public ::testing::TestWithParam<FormatCase> {};

TEST_P(AddinInQgis, DeletesAndRenamesKeepingEveryValueAndGeometry)
{
    const FormatCase& c = GetParam();
    QgisHost host(c.memoryRows);
    QgsVectorLayer& layer = host.project.layer(c.layer);
    const std::string path = c.file ? host.project.path(c.file) : std::string();
    const std::string gdalLayer = c.layer.toStdString();
    std::optional<gistest::LayerContent> diskBefore;
    if (c.file) diskBefore = gistest::readLayer(path, gdalLayer);
    const QgisContent before = qgistest::readLayer(layer);

    host.useDialog([&](qgistest::Dialog& dialog) {
        dialog.deleteFields(c.layer, c.deleted);
        for (const Rename& r : c.renames) dialog.rename(c.layer, r.from, r.to);
    });
    QStringList expectedMessages{quillet::text::confirmDelete, quillet::text::deletedAll};
    for (std::size_t i = 0; i < c.renames.size(); ++i) expectedMessages << quillet::text::renamed;
    EXPECT_EQ(host.messages(), expectedMessages);
    EXPECT_TRUE(host.iface.messages().isEmpty()) << host.iface.messages().join('\n').toStdString();

    // The same layer object shows the new fields: nothing was reloaded by hand.
    const QgisContent after = qgistest::readLayer(layer);
    const QgisContent expected = expectedInQgis(before, c, diskBefore ? &*diskBefore : nullptr);
    EXPECT_EQ(after.fields, expected.fields);
    EXPECT_EQ(after.rows, expected.rows);
    EXPECT_EQ(after.geometries, before.geometries);
    EXPECT_EQ(after.rows.size(), before.rows.size());

    if (diskBefore) {
        const gistest::LayerContent diskAfter = gistest::readLayer(path, gdalLayer);
        const gistest::LayerContent diskExpected = expectedOnDisk(*diskBefore, c);
        EXPECT_EQ(diskAfter.fields, diskExpected.fields);
        EXPECT_EQ(diskAfter.rows, diskExpected.rows);
        EXPECT_EQ(diskAfter.geometries, diskBefore->geometries);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, AddinInQgis, ::testing::ValuesIn(formatCases),
                         [](const auto& info) { return std::string(info.param.format); });

QStringList refusedMessages(const FormatCase& c)
{
    return {quillet::text::confirmDelete, quillet::text::notDeleted(c.deleted.join('\r')),
            quillet::text::addFieldFailed(c.renames[0].from)};
}

// A deletion and a rename through the dialog both fail, and QGIS's message
// bar says `why`.
void expectRefused(QgisHost& host, const FormatCase& c, const QString& why)
{
    host.ui.messages.clear();
    host.useDialog([&](qgistest::Dialog& dialog) {
        dialog.deleteFields(c.layer, c.deleted);
        dialog.rename(c.layer, c.renames[0].from, c.renames[0].to);
    });
    EXPECT_EQ(host.messages(), refusedMessages(c));
    EXPECT_TRUE(host.iface.messages().contains(why)) << host.iface.messages().join('\n').toStdString();
}

// Edits not yet saved in QGIS: the add-in reports failure, QGIS says why, and
// the edits and the data are as they were.
TEST(QgisLayerStates, ALayerWithUnsavedEditsKeepsEditsAndData)
{
    for (const FormatCase& c : formatCases) {
        SCOPED_TRACE(c.format);
        QgisHost host;
        QgsVectorLayer& layer = host.project.layer(c.layer);
        const std::string path = c.file ? host.project.path(c.file) : std::string();
        std::optional<gistest::LayerContent> diskBefore;
        if (c.file) diskBefore = gistest::readLayer(path, c.layer.toStdString());
        const QgisContent saved = qgistest::readLayer(layer);

        ASSERT_TRUE(layer.startEditing());
        const QgsFeatureId fid = saved.rows.begin()->first;
        const int field = layer.fields().indexFromName(c.renames[0].from);
        ASSERT_TRUE(layer.changeAttributeValue(fid, field, QStringLiteral("edited")));
        const QgisContent edited = qgistest::readLayer(layer);

        expectRefused(host, c, qgishost::reason::unsavedEdits(c.layer));
        EXPECT_TRUE(layer.isModified());
        const QgisContent now = qgistest::readLayer(layer);
        EXPECT_EQ(now.fields, edited.fields);
        EXPECT_EQ(now.rows, edited.rows);
        if (diskBefore) {
            const auto diskNow = gistest::readLayer(path, c.layer.toStdString());
            EXPECT_EQ(diskNow.fields, diskBefore->fields);
            EXPECT_EQ(diskNow.rows, diskBefore->rows);
        }
        layer.rollBack();
        EXPECT_EQ(qgistest::readLayer(layer).rows, saved.rows);
    }
}

// Editing switched on but nothing edited: the change is made, and the edits
// made afterwards on the new field are saved.
TEST(QgisLayerStates, ALayerInEditingWithoutEditsChangesAndKeepsEditing)
{
    for (const FormatCase& c : formatCases) {
        SCOPED_TRACE(c.format);
        QgisHost host;
        QgsVectorLayer& layer = host.project.layer(c.layer);
        ASSERT_TRUE(layer.startEditing());
        const Rename& r = c.renames[0];
        host.useDialog([&](qgistest::Dialog& dialog) { dialog.rename(c.layer, r.from, r.to); });
        EXPECT_EQ(host.messages(), QStringList{quillet::text::renamed});
        EXPECT_TRUE(layer.isEditable());
        const QgsFeatureId fid = qgistest::readLayer(layer).rows.begin()->first;
        EXPECT_TRUE(layer.changeAttributeValue(fid, layer.fields().indexFromName(r.to), QStringLiteral("x")));
        EXPECT_TRUE(layer.commitChanges()) << layer.commitErrors().join('\n').toStdString();
        EXPECT_EQ(qgistest::readLayer(layer).rows.at(fid).at(r.to), QStringLiteral("x"));
        if (c.file) {
            const auto onDisk = gistest::readLayer(host.project.path(c.file), c.layer.toStdString());
            EXPECT_EQ(onDisk.rows.at(fid).at(r.to.toStdString()), "x");
        }
    }
}

// Files nobody may write to: every change fails, QGIS says why, and not one
// byte changes on disk.
TEST(QgisLayerStates, ReadOnlyFilesStayByteForByte)
{
    QgisHost host(3, true);
    for (const FormatCase& c : formatCases) {
        if (!c.file) continue;
        SCOPED_TRACE(c.format);
        const auto files = gistest::datasetFiles(host.project.path(c.file));
        expectRefused(host, c, qgishost::reason::readOnlyFiles(c.layer));
        EXPECT_EQ(gistest::datasetFiles(host.project.path(c.file)), files);
    }
}

// A layer the project marks read-only is left alone, whatever its data source.
TEST(QgisLayerStates, ALayerReadOnlyInTheProjectRefusesAndStaysAsItWas)
{
    QgisHost host;
    for (const FormatCase& c : formatCases) {
        SCOPED_TRACE(c.format);
        QgsVectorLayer& layer = host.project.layer(c.layer);
        ASSERT_TRUE(layer.setReadOnly(true));
        const QgisContent before = qgistest::readLayer(layer);
        expectRefused(host, c, qgishost::reason::readOnlyLayer(c.layer));
        const QgisContent after = qgistest::readLayer(layer);
        EXPECT_EQ(after.fields, before.fields);
        EXPECT_EQ(after.rows, before.rows);
    }
}

// Every name and value of a Latin-1 shapefile, read with GDAL as another
// program reads it.
std::map<std::string, std::vector<std::string>> latin1Columns(const std::string& path)
{
    const qgistest::GdalAsElsewhere plainGdal;
    GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR));
    std::map<std::string, std::vector<std::string>> columns;
    if (!dataset) return columns;
    OGRLayer& layer = *dataset->GetLayer(0);
    for (auto& feature : layer)
        for (int i = 0; i < feature->GetFieldCount(); ++i)
            columns[feature->GetFieldDefnRef(i)->GetNameRef()].push_back(
                feature->IsFieldSetAndNotNull(i) ? feature->GetFieldAsString(i) : "<null>");
    return columns;
}

// The names of a Latin-1 shapefile are listed as QGIS shows them, and a new
// name goes into the file in its encoding: nine characters are nine bytes
// there, though thirteen in UTF-8 (more than a .dbf name holds).
TEST(QgisShapefiles, NamesAreReadAndWrittenInTheFilesEncoding)
{
    QgisHost host;
    const std::string path = host.project.path("lands.shp");
    {
        const qgistest::GdalAsElsewhere plainGdal;
        GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("ESRI Shapefile");
        GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
        const char* options[] = {"ENCODING=ISO-8859-1", nullptr};
        OGRLayer* layer = dataset->CreateLayer("lands", nullptr, wkbPoint, const_cast<char**>(options));
        OGRFieldDefn size("Größe", OFTInteger);
        OGRFieldDefn owner("Zoë", OFTString);
        owner.SetWidth(20);
        ASSERT_TRUE(layer->CreateField(&size) == OGRERR_NONE && layer->CreateField(&owner) == OGRERR_NONE);
        const std::pair<int, const char*> rows[] = {{1, "Émile"}, {2, nullptr}, {3, "Åsa"}};
        for (const auto& [number, name] : rows) {
            OGRFeatureUniquePtr feature(OGRFeature::CreateFeature(layer->GetLayerDefn()));
            feature->SetField(0, number);
            if (name) feature->SetField(1, name);
            OGRPoint point(number, number);
            feature->SetGeometry(&point);
            ASSERT_EQ(layer->CreateFeature(feature.get()), OGRERR_NONE);
        }
    }
    auto* lands = new QgsVectorLayer(QString::fromStdString(path), QStringLiteral("lands"), QStringLiteral("ogr"));
    QgsProject::instance()->addMapLayer(lands);
    ASSERT_GE(lands->fields().indexFromName(QStringLiteral("Zoë")), 0) << "QGIS reads the name";

    host.useDialog([](qgistest::Dialog& dialog) {
        dialog.rename(QStringLiteral("lands"), QStringLiteral("Zoë"), QStringLiteral("Ærø_Åsa_Ø"));
    });
    EXPECT_EQ(host.messages(), QStringList{quillet::text::renamed});
    EXPECT_TRUE(host.iface.messages().isEmpty()) << host.iface.messages().join('\n').toStdString();
    EXPECT_EQ(latin1Columns(path), (std::map<std::string, std::vector<std::string>>{
                                       {"Größe", {"1", "2", "3"}}, {"Ærø_Åsa_Ø", {"Émile", "<null>", "Åsa"}}}));
    EXPECT_GE(lands->fields().indexFromName(QStringLiteral("Ærø_Åsa_Ø")), 0);
}

// A data source QGIS reads through a provider that changes no fields.
TEST(QgisLayerStates, AProviderThatCannotChangeFieldsSaysSo)
{
    QgisHost host;
    const QString csv = host.project.folder.filePath(QStringLiteral("wells.csv"));
    {
        QFile file(csv);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("id,depth,owner\n1,12.5,Ann\n2,40,Bo\n");
    }
    auto* wells = new QgsVectorLayer(QStringLiteral("file://%1?type=csv&geomType=none").arg(csv),
                                     QStringLiteral("well_table"), QStringLiteral("delimitedtext"));
    ASSERT_TRUE(wells->isValid());
    QgsProject::instance()->addMapLayer(wells);

    const FormatCase c{"CSV", "well_table", nullptr, 0, {"owner"}, {{"depth", "depth_m"}}};
    expectRefused(host, c, qgishost::reason::cannotDelete(c.layer));
    EXPECT_TRUE(host.iface.messages().contains(qgishost::reason::cannotAdd(c.layer)));
    EXPECT_TRUE(wells->fields().indexFromName(QStringLiteral("owner")) >= 0);
}

// A GeoPackage layer changes through gishost's engine: what
// gpkg_data_columns says of a column (defined the standard's way) follows
// the rename, and QGIS shows the alias.
TEST(QgisGeoPackage, ARenameKeepsTheColumnsDescription)
{
    QgisHost host;
    const std::string path =
        gistest::writeDescribedGeoPackage(host.project.folder.path().toStdString(), gistest::DataColumns::Standard);
    auto* counties = new QgsVectorLayer(QString::fromStdString(path) + QStringLiteral("|layername=counties"),
                                        QStringLiteral("counties"), QStringLiteral("ogr"));
    ASSERT_TRUE(counties->isValid());
    QgsProject::instance()->addMapLayer(counties);
    const QgisContent before = qgistest::readLayer(*counties);
    auto expected = gistest::dataColumns(path);
    for (auto& row : expected)
        if (row[0] == "counties" && row[1] == "name") row[1] = "cnty_name";
    std::sort(expected.begin(), expected.end());

    host.useDialog([&](qgistest::Dialog& dialog) {
        dialog.rename(QStringLiteral("counties"), QStringLiteral("name"), QStringLiteral("cnty_name"));
    });
    EXPECT_EQ(host.messages(), QStringList{quillet::text::renamed});
    EXPECT_TRUE(host.iface.messages().isEmpty()) << host.iface.messages().join('\n').toStdString();
    EXPECT_EQ(gistest::dataColumns(path), expected);
    const QgisContent after = qgistest::readLayer(*counties);
    EXPECT_EQ(after.fields.at(QStringLiteral("cnty_name")).alias, QStringLiteral("County name"));
    EXPECT_EQ(after.rows.size(), before.rows.size());
    for (const auto& [fid, row] : before.rows)
        EXPECT_EQ(after.rows.at(fid).at(QStringLiteral("cnty_name")), row.at(QStringLiteral("name"))) << fid;
}

} // namespace
