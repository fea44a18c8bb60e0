// qgis_rename_bench [ROWS]: one rename of a field of a GeoPackage layer of
// ROWS rows (1,000,000 by default), by the add-in's own routines, inside
// gishost and inside QGIS, on two copies of the same file; reports QGIS's
// time against gishost's, measured in the same run.

#include "dialog/frmQuillet.h"
#include "forms/MessageBox.h"
#include "gishost/model/Application.h"
#include "gishost/model/DocumentLoader.h"
#include "hostkit/HostClasses.h"
#include "hostkit/RunningApplications.h"
#include "qgis/model/Application.h"
#include "qgis/sample/RunInQgis.h"

#include <qgsproject.h>
#include <qgsvectorlayer.h>

#include <ogrsf_frmts.h>

#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

namespace {

constexpr double limit = 1.5;

void writeTable(const std::string& path, int rows)
{
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
    GDALDatasetUniquePtr ds(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    OGRSpatialReference wgs84;
    wgs84.importFromEPSG(4326);
    OGRLayer* layer = ds->CreateLayer("points", &wgs84, wkbPoint, nullptr);
    OGRFieldDefn label("label", OFTString), value("value", OFTInteger), ratio("ratio", OFTReal);
    label.SetWidth(20);
    for (OGRFieldDefn* field : {&label, &value, &ratio})
        if (layer->CreateField(field) != OGRERR_NONE) std::exit(1);
    ds->StartTransaction();
    for (int i = 0; i < rows; ++i) {
        OGRFeature feature(layer->GetLayerDefn());
        feature.SetField("label", ("point " + std::to_string(i)).c_str());
        if (i % 5 != 0) feature.SetField("value", i);
        feature.SetField("ratio", i * 0.25);
        OGRPoint point(5 + (i % 1000) * 0.001, 45 + (i / 1000) * 0.001);
        feature.SetGeometry(&point);
        if (layer->CreateFeature(&feature) != OGRERR_NONE) std::exit(1);
    }
    ds->CommitTransaction();
}

// The add-in's rename of "value" to "amount", as its dialog does it, in the
// host that is running; seconds.
double rename()
{
    quillet::frmQuillet dialog;
    dialog.load();
    const auto start = std::chrono::steady_clock::now();
    const bool done =
        dialog.DuplicateField(QStringLiteral("points"), QStringLiteral("value"), QStringLiteral("amount")).done() &&
        dialog.DeleteField(QStringLiteral("points"), QStringLiteral("value")).done();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    dialog.unload();
    if (!done) {
        std::fprintf(stderr, "qgis_rename_bench: the rename failed\n");
        std::exit(1);
    }
    return seconds;
}

double inGishost(const std::string& path)
{
    const hostkit::HostClasses classes;
    const gishost::LoadedDocument loaded = gishost::loadDocument({path});
    const auto application = runtime::make<gishost::Application>(loaded.document);
    const hostkit::RunningEntry running(runtime::ComPtr<host::IHostApplication>(application.get()));
    return rename();
}

double inQgis(const std::string& path)
{
    QgsProject& project = *QgsProject::instance();
    project.addMapLayer(new QgsVectorLayer(QString::fromStdString(path) + "|layername=points",
                                           QStringLiteral("points"), QStringLiteral("ogr")));
    double seconds = 0;
    {
        const hostkit::HostClasses classes;
        const auto application = qgishost::makeApplication(project);
        const hostkit::RunningEntry running(runtime::ComPtr<host::IHostApplication>(application.get()));
        seconds = rename();
    }
    project.clear();
    return seconds;
}

int measure(int rows)
{
    // A failure message would wait for a person: end the run instead.
    forms::testing::setMessageHandler([](const forms::MessageRecord& message) -> forms::Answer {
        std::fprintf(stderr, "qgis_rename_bench: %s\n", message.text.toStdString().c_str());
        std::exit(1);
    });

    const QTemporaryDir folder;
    const std::string original = folder.filePath(QStringLiteral("original.gpkg")).toStdString();
    const std::string forGishost = folder.filePath(QStringLiteral("gishost.gpkg")).toStdString();
    const std::string forQgis = folder.filePath(QStringLiteral("qgis.gpkg")).toStdString();
    writeTable(original, rows);
    std::filesystem::copy_file(original, forGishost);
    std::filesystem::copy_file(original, forQgis);

    const double gishost = inGishost(forGishost);
    const double qgis = inQgis(forQgis);
    const double ratio = qgis / gishost;
    std::printf("rename of a field of %d rows: gishost %.2f s, QGIS %.2f s, ratio %.2f (at most %.1f)\n", rows,
                gishost, qgis, ratio, limit);
    return ratio <= limit ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
    return qgishost::runInQgis(argc, argv, true, [rows] { return measure(rows); });
}
