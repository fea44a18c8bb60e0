// The QGIS tests run inside QGIS's own application object, on Qt's offscreen
// platform, with a profile in a temporary folder.

#include "qgis/sample/RunInQgis.h"

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_FONT_DPI", "96", 0);
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests, at build time, needs no QGIS.
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    return qgishost::runInQgis(argc, argv, true, [] { return RUN_ALL_TESTS(); });
}
