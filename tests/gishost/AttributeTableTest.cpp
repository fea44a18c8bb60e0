// gishost's table of a layer's rows: read lazily through GDAL, only what is
// shown, read again after each command.

#include "GisTestSupport.h"

#include "gishost/app/AttributeTable.h"
#include "gishost/app/MainWindow.h"
#include "hostkit/NewFieldDefinition.h"
#include "gishost/sample/SampleData.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <QHeaderView>
#include <QTableView>
#include <QTreeWidget>

#include <stdexcept>

namespace {

constexpr int largeRows = 150000;

// Row i holds id i, the text "place i", and i / 4 as a real; one row in
// seven has a null text.
std::string writeLargeLayer(const std::string& folder, const char* driverName, const char* file, int rows)
{
    const std::string path = folder + "/" + file;
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!dataset) throw std::runtime_error("cannot create " + path);
    OGRLayer* layer = dataset->CreateLayer("places", nullptr, wkbPoint, nullptr);
    OGRFieldDefn id("id", OFTInteger), name("name", OFTString), value("value", OFTReal);
    name.SetWidth(20);
    for (OGRFieldDefn* f : {&id, &name, &value})
        if (layer->CreateField(f) != OGRERR_NONE) throw std::runtime_error("cannot create a field");
    dataset->StartTransaction();
    for (int i = 0; i < rows; ++i) {
        OGRFeature feature(layer->GetLayerDefn());
        feature.SetField(0, i);
        if (i % 7 == 3)
            feature.SetFieldNull(1);
        else
            feature.SetField(1, ("place " + std::to_string(i)).c_str());
        feature.SetField(2, i / 4.0);
        OGRPoint point(i % 1000, i / 1000);
        feature.SetGeometry(&point);
        if (layer->CreateFeature(&feature) != OGRERR_NONE) throw std::runtime_error("cannot write a row");
    }
    dataset->CommitTransaction();
    return path;
}

QString shown(const QAbstractItemModel& model, int row, const QString& column)
{
    for (int c = 0; c < model.columnCount(); ++c)
        if (model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString() == column)
            return model.data(model.index(row, c), Qt::DisplayRole).toString();
    return QStringLiteral("(no column %1)").arg(column);
}

// The first row the view shows.
int rowOnTop(const QTableView& view) { return view.rowAt(0); }

struct LargeLayer {
    const char* name;
    const char* driver;
    const char* file;
};

void PrintTo(const LargeLayer& l, std::ostream* os) { *os << l.name; }

class LargeLayers : public ::testing::TestWithParam<LargeLayer> {
protected:
    QTemporaryDir folder;
};

// A view of a large layer reads the rows it shows, wherever it is scrolled to,
// and keeps only a few of them.
TEST_P(LargeLayers, AViewReadsOnlyTheRowsItShows)
{
    const std::string path =
        writeLargeLayer(folder.path().toStdString(), GetParam().driver, GetParam().file, largeRows);
    gishost::AttributeTableModel rows;
    rows.open(path, "places");
    ASSERT_TRUE(rows.problem().isEmpty()) << rows.problem().toStdString();
    EXPECT_EQ(rows.rowCount(), largeRows);
    EXPECT_EQ(rows.rowsRead(), 0) << "nothing is read before it is shown";

    QTableView view;
    view.setModel(&rows);
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.resize(640, 400);
    view.show();
    view.grab();
    const int shownAtOnce = view.rowAt(view.viewport()->height() - 1) - rowOnTop(view) + 1;
    ASSERT_GT(shownAtOnce, 5);
    EXPECT_EQ(shown(rows, 3, QStringLiteral("name")), QStringLiteral("NULL"));
    EXPECT_EQ(shown(rows, 4, QStringLiteral("name")), QStringLiteral("place 4"));

    // Jumps far down and back, and pages down a few times.
    for (const int target : {largeRows / 2, largeRows - 1, 1000, 1000 + shownAtOnce, 1000 + 2 * shownAtOnce}) {
        view.scrollTo(rows.index(target, 0), QAbstractItemView::PositionAtTop);
        view.grab();
        const int top = rowOnTop(view);
        EXPECT_EQ(shown(rows, top, QStringLiteral("id")), QString::number(top)) << target;
        EXPECT_EQ(shown(rows, top, QStringLiteral("value")).toDouble(), top / 4.0) << target;
    }
    EXPECT_LE(rows.rowsRead(), 12 * 64) << "six places, each at most two blocks of 64 rows";
}

INSTANTIATE_TEST_SUITE_P(Formats, LargeLayers,
                         ::testing::Values(LargeLayer{"GeoPackage", "GPKG", "large.gpkg"},
                                           LargeLayer{"Shapefile", "ESRI Shapefile", "places.shp"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Another program replaced the data while it was shown: what cannot be
// read any more shows empty, and a reload shows the data as it is now.
TEST(AttributeTable, DataChangedByAnotherProgramShowsWhatCanBeRead)
{
    QTemporaryDir folder;
    const std::string path = writeLargeLayer(folder.path().toStdString(), "GPKG", "small.gpkg", 500);
    gishost::AttributeTableModel rows;
    rows.open(path, "places");
    EXPECT_EQ(shown(rows, 0, QStringLiteral("name")), QStringLiteral("place 0"));
    {
        GDALDatasetUniquePtr other(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE));
        ASSERT_TRUE(other);
        other->ExecuteSQL("DELETE FROM places WHERE fid > 100", nullptr, nullptr);
    }
    EXPECT_EQ(shown(rows, 450, QStringLiteral("name")), QString()) << "a row gone since shows empty";
    rows.open(path, "places");
    EXPECT_EQ(rows.rowCount(), 100);
    rows.open(folder.filePath(QStringLiteral("missing.gpkg")).toStdString(), "places");
    EXPECT_EQ(rows.rowCount(), 0);
    EXPECT_FALSE(rows.problem().isEmpty());
}

// Choosing a layer in the tree shows its rows; after a command changed the
// layer, the same layer shows its new columns with their values.
TEST(AttributeTable, TheChosenLayerIsShownAndReadAgainAfterACommand)
{
    QTemporaryDir folder;
    const std::string geoPackage = gishost::sample::writeGeoPackage(folder.path().toStdString());
    const gistest::Host host({geoPackage});
    gishost::MainWindow window(host.application);
    QTreeWidgetItem* map = window.tree().topLevelItem(0);
    ASSERT_TRUE(map);
    QTreeWidgetItem* roads = nullptr;
    for (int i = 0; i < map->childCount(); ++i)
        if (map->child(i)->text(0) == QStringLiteral("roads")) roads = map->child(i);
    ASSERT_TRUE(roads);
    window.tree().setCurrentItem(roads);
    const QAbstractItemModel& rows = *window.table().model();
    EXPECT_EQ(rows.rowCount(), 6);
    EXPECT_EQ(shown(rows, 1, QStringLiteral("road_label")), QStringLiteral("Zoë's place 1"));
    EXPECT_FALSE(rows.flags(rows.index(1, 1)) & Qt::ItemIsEditable) << "the table only shows";

    // What a command does to the layer, through the host's objects.
    const auto table = gistest::featureClassAt(host, 0, 1);
    ASSERT_TRUE(table);
    const auto added = runtime::make<hostkit::NewFieldDefinition>();
    added->put_Name(u"remark");
    ASSERT_EQ(table->AddField(added.get()), runtime::S_OK);
    window.refresh();

    ASSERT_TRUE(window.tree().currentItem());
    EXPECT_EQ(window.tree().currentItem()->text(0), QStringLiteral("roads")) << "the same layer stays chosen";
    EXPECT_EQ(shown(rows, 1, QStringLiteral("remark")), QStringLiteral("NULL"));
    EXPECT_EQ(shown(rows, 1, QStringLiteral("road_label")), QStringLiteral("Zoë's place 1"));
}

} // namespace
