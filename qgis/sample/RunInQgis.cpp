#include "qgis/sample/RunInQgis.h"

#include <qgsapplication.h>

#include <gdal_priv.h>

#include <QTemporaryDir>

#include <cstdlib>

namespace qgishost {

int runInQgis(int& argc, char** argv, bool gui, const std::function<int()>& work)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const QTemporaryDir profile;
    QgsApplication app(argc, argv, gui, profile.path());
    // Where QGIS finds its data providers (delimited text, SpatiaLite, ...).
    QgsApplication::setPrefixPath(QStringLiteral(QGIS_PREFIX_PATH), true);
    QgsApplication::initQgis();
    GDALAllRegister();
    const int result = work();
    QgsApplication::exitQgis();
    return result;
}

} // namespace qgishost
