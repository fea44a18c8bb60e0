// One gishost session for the test of two renames at once: opens a
// database, shows the dialog with the layer chosen for renaming, says
// "ready", renames the field when told "go", and prints each message the
// dialog showed on a line of its own.
//
//   postgres_rename_child CONNECTION LAYER FIELD NEW_NAME

#include "GisTestSupport.h"

#include <gdal_priv.h>

#include <QApplication>

#include <cstdlib>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::cerr << "usage: postgres_rename_child CONNECTION LAYER FIELD NEW_NAME\n";
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    GDALAllRegister();
    const gistest::Host host({argv[1]});
    gistest::Dialog dialog;
    dialog.chooseLayer(dialog.form.cboTargetLayerRename, argv[2]);

    std::cout << "ready" << std::endl;
    std::string go;
    std::getline(std::cin, go);
    dialog.renameChosen({argv[3], argv[4]});
    for (QString text : dialog.ui.messageTexts())
        std::cout << text.replace(QLatin1Char('\r'), QLatin1Char(' ')).toStdString() << '\n';
    return 0;
}
