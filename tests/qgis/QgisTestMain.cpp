// The QGIS tests run inside QGIS's own application object, on Qt's offscreen
// platform, with a profile in a temporary folder.

#include <gtest/gtest.h>

#include <qgsapplication.h>

#include <gdal_priv.h>

#include <QTemporaryDir>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QT_FONT_DPI", "96", 0);
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests, at build time, needs no QGIS.
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    const QTemporaryDir profile;
    QgsApplication app(argc, argv, true, profile.path());
    // Where QGIS finds its data providers (delimited text, SpatiaLite, ...).
    QgsApplication::setPrefixPath(QStringLiteral(QGIS_PREFIX_PATH), true);
    QgsApplication::initQgis();
    GDALAllRegister();
    const int result = RUN_ALL_TESTS();
    QgsApplication::exitQgis();
    return result;
}
