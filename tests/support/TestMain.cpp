// Every test program runs its widgets on Qt's offscreen platform, so nothing
// waits for a display or a person.

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Qt 5's offscreen screen says 100 dpi, Qt 6's 96: windows are laid out
    // in twips, so both builds measure them on the same 96-dpi screen.
    setenv("QT_FONT_DPI", "96", 0);
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests, at build time, needs no application.
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
