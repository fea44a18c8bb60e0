// qgis_make_sample FOLDER: writes the sample data and a QGIS project over it,
// FOLDER/quillet_sample.qgs.

#include "qgis/sample/RunInQgis.h"
#include "qgis/sample/SampleProject.h"
#include "gishost/sample/SampleData.h"

#include <qgsproject.h>

#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: qgis_make_sample FOLDER\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    return qgishost::runInQgis(argc, argv, false, [&] {
        try {
            const std::filesystem::path folder = argv[1];
            QgsProject project;
            qgishost::sample::fillProject(project, gishost::sample::writeAll(folder));
            return project.write(QString::fromStdString((folder / "quillet_sample.qgs").string())) ? 0 : 1;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "qgis_make_sample: %s\n", e.what());
            return 1;
        }
    });
}
