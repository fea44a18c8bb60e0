// Copies one column of a GeoPackage layer into another in both ways the
// engine knows, and reports the per-feature loop against the one UPDATE
// statement measured in the same run.

#include "engine/core/OgrEdits.h"
#include "engine/core/Table.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

std::string makeTable(const std::filesystem::path& file, int rows)
{
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
    GDALDatasetUniquePtr ds(driver->Create(file.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    OGRLayer* layer = ds->CreateLayer("t", nullptr, wkbPoint, nullptr);
    OGRFieldDefn a("a", OFTInteger), b("b", OFTInteger);
    if (layer->CreateField(&a) != OGRERR_NONE || layer->CreateField(&b) != OGRERR_NONE) std::exit(1);
    ds->StartTransaction();
    for (int i = 0; i < rows; ++i) {
        OGRFeature feature(layer->GetLayerDefn());
        feature.SetField("a", i);
        OGRPoint point(i % 1000, i / 1000);
        feature.SetGeometry(&point);
        if (layer->CreateFeature(&feature) != OGRERR_NONE) std::exit(1);
    }
    ds->CommitTransaction();
    return file.string();
}

double fastestMs(const std::function<runtime::HResult()>& run, int repeats)
{
    double best = 1e300;
    for (int i = 0; i < repeats; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (runtime::failed(run())) {
            std::fprintf(stderr, "copy failed\n");
            std::exit(1);
        }
        best = std::min(best, std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    const int rows = argc > 1 ? std::atoi(argv[1]) : 50000;
    GDALAllRegister();
    char folderTemplate[] = "/tmp/quillet-bench-XXXXXX";
    const std::filesystem::path folder = mkdtemp(folderTemplate);
    const std::string path = makeTable(folder / "bench.gpkg", rows);

    std::string problem;
    auto dataset = engine::Dataset::open(path, problem);
    if (!dataset) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
    }
    const engine::Table table(dataset, "t");
    const double update = fastestMs([&] { return table.copyColumn("a", "b"); }, 3);
    const double loop = fastestMs([&] { return engine::copyColumnByFeature(table, "a", "b"); }, 3);

    std::printf("GeoPackage, %d rows: one UPDATE %.1f ms, per-feature loop %.1f ms\n", rows, update, loop);
    std::printf("per-feature loop / UPDATE = %.1f\n", loop / update);
    dataset.reset();
    std::filesystem::remove_all(folder);
    return 0;
}
