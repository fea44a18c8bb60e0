// Scrolls gishost's table view over a large layer, jumping about and paging
// down as a user does. Two ratios, each against a baseline of the same run:
// the view over the layer against the same view over rows made up in
// memory (what reading through GDAL adds to scrolling), and the rows the
// model reads against GDAL reading the same rows by their ids. Memory is
// taken before and after.
//
//   table_scroll_bench [ROWS]     (default 1,000,000)

#include "gishost/app/AttributeTable.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QApplication>
#include <QHeaderView>
#include <QTableView>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int fieldCount = 10;

// A layer of points with ten attributes of mixed types.
std::string makeLayer(const std::filesystem::path& file, const char* driverName, int rows)
{
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    GDALDatasetUniquePtr ds(driver->Create(file.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    OGRLayer* layer = ds->CreateLayer("places", nullptr, wkbPoint, nullptr);
    for (int f = 0; f < fieldCount; ++f) {
        const OGRFieldType type = f % 3 == 0 ? OFTInteger : f % 3 == 1 ? OFTString : OFTReal;
        OGRFieldDefn field(("f" + std::to_string(f)).c_str(), type);
        if (type == OFTString) field.SetWidth(24);
        if (layer->CreateField(&field) != OGRERR_NONE) std::exit(1);
    }
    ds->StartTransaction();
    for (int i = 0; i < rows; ++i) {
        OGRFeature feature(layer->GetLayerDefn());
        for (int f = 0; f < fieldCount; ++f) {
            if (f % 3 == 0) feature.SetField(f, i + f);
            else if (f % 3 == 1) feature.SetField(f, ("row " + std::to_string(i) + " field " + std::to_string(f)).c_str());
            else feature.SetField(f, i * 0.25 + f);
        }
        OGRPoint point(i % 1000, i / 1000);
        feature.SetGeometry(&point);
        if (layer->CreateFeature(&feature) != OGRERR_NONE) std::exit(1);
    }
    ds->CommitTransaction();
    return file.string();
}

// The resident memory of this process, in MB.
double residentMb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

// Where the view's first row lands: far jumps over the whole layer, then
// page after page from the middle.
std::vector<int> scrollTargets(int rows, int page)
{
    std::vector<int> targets;
    unsigned state = 12345;
    for (int i = 0; i < 200; ++i) {
        state = state * 1103515245u + 12345u;
        targets.push_back(static_cast<int>(state % static_cast<unsigned>(rows - page)));
    }
    for (int i = 0; i < 200; ++i) targets.push_back(rows / 2 + i * page);
    return targets;
}

// Rows that cost nothing to read: the view's own share of scrolling.
class MadeUpRows final : public QAbstractTableModel {
public:
    explicit MadeUpRows(int rows) : rows_(rows) {}
    int rowCount(const QModelIndex& = {}) const override { return rows_; }
    int columnCount(const QModelIndex& = {}) const override { return fieldCount + 1; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole) return {};
        return QStringLiteral("row %1 field %2").arg(index.row()).arg(index.column());
    }

private:
    int rows_;
};

double msSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Scrolls `view` through `targets`; the total and the slowest step, in ms.
std::pair<double, double> scroll(QTableView& view, const std::vector<int>& targets)
{
    double slowest = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const int target : targets) {
        const auto step = std::chrono::steady_clock::now();
        view.scrollTo(view.model()->index(target, 0), QAbstractItemView::PositionAtTop);
        view.grab();
        slowest = std::max(slowest, msSince(step));
    }
    return {msSince(start), slowest};
}

void prepare(QTableView& view, QAbstractItemModel& model)
{
    view.setModel(&model);
    view.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view.resize(1000, 700);
    view.show();
    view.grab();
}

void measure(const char* format, const std::string& path, int rows)
{
    const double memoryBefore = residentMb();
    QTableView view;
    gishost::AttributeTableModel model;
    auto start = std::chrono::steady_clock::now();
    model.open(path, "places");
    prepare(view, model);
    const double openMs = msSince(start);
    const int page = view.rowAt(view.viewport()->height() - 1) - view.rowAt(0) + 1;
    const std::vector<int> targets = scrollTargets(rows, page);
    const auto [viewMs, slowest] = scroll(view, targets);
    const double memoryAfter = residentMb();

    QTableView plainView;
    MadeUpRows madeUp(rows);
    prepare(plainView, madeUp);
    const double plainMs = scroll(plainView, targets).first;

    // The model's reading alone, from a cold start, against GDAL by id:
    // every value of every row shown, as text.
    gishost::AttributeTableModel reader;
    reader.open(path, "places");
    std::size_t modelSum = 0;
    start = std::chrono::steady_clock::now();
    for (const int target : targets)
        for (int row = target; row < target + page && row < rows; ++row)
            for (int column = 1; column <= fieldCount; ++column)
                modelSum += static_cast<std::size_t>(reader.data(reader.index(row, column), Qt::DisplayRole).toString().size());
    const double modelMs = msSince(start);

    GDALDatasetUniquePtr ds(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    OGRLayer* layer = ds->GetLayerByName("places");
    const char* ignored[] = {"OGR_GEOMETRY", "OGR_STYLE", nullptr};
    layer->SetIgnoredFields(ignored);
    const GIntBig firstId = std::string(ds->GetDriver()->GetDescription()) == "GPKG" ? 1 : 0;
    std::size_t gdalSum = 0;
    start = std::chrono::steady_clock::now();
    for (const int target : targets)
        for (int row = target; row < target + page && row < rows; ++row)
            if (OGRFeatureUniquePtr f{layer->GetFeature(row + firstId)})
                for (int field = 0; field < fieldCount; ++field)
                    gdalSum += static_cast<std::size_t>(QString::fromUtf8(f->GetFieldAsString(field)).size());
    const double gdalMs = msSince(start);

    std::printf("%s, %d rows, %zu scroll positions of %d rows (open %.0f ms):\n", format, rows, targets.size(), page,
                openMs);
    std::printf("  scrolling: view over the layer %.0f ms (slowest step %.1f ms), over made-up rows %.0f ms: "
                "ratio %.2f\n",
                viewMs, slowest, plainMs, viewMs / plainMs);
    std::printf("  reading the rows shown: model %.0f ms, GDAL by id %.0f ms: ratio %.2f%s\n", modelMs, gdalMs,
                modelMs / gdalMs, modelSum == gdalSum ? "" : " (the values differ!)");
    std::printf("  rows read %lld of %d; memory %.1f MB before opening, %.1f MB after scrolling\n",
                static_cast<long long>(model.rowsRead()), rows, memoryBefore, memoryAfter);
}

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
    GDALAllRegister();
    char folderTemplate[] = "/tmp/quillet-bench-XXXXXX";
    const std::filesystem::path folder = mkdtemp(folderTemplate);
    measure("GeoPackage", makeLayer(folder / "places.gpkg", "GPKG", rows), rows);
    measure("Shapefile", makeLayer(folder / "places.shp", "ESRI Shapefile", rows), rows);
    std::filesystem::remove_all(folder);
    return 0;
}
