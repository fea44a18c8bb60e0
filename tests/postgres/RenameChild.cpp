// One gishost session for the test of two renames at once: opens a
// database, shows the dialog with a field chosen for renaming, says
// "ready", renames it when told "go", and prints each message the dialog
// showed on a line of its own.
//
//   postgres_rename_child CONNECTION LAYER FIELD NEW_NAME

#include "GisTestSupport.h"

#include "dialog/frmQuillet.h"
#include "forms/Controls.h"
#include "Ui.h"

#include <gdal_priv.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>

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
    testsupport::Ui ui;
    quillet::frmQuillet form;
    form.load();
    forms::selectDropDownEntry(form.cboTargetLayerRename, form.cboTargetLayerRename->findText(argv[2]));
    forms::selectDropDownEntry(form.cboCurrentFieldName, form.cboCurrentFieldName->findText(argv[3]));
    form.txtNewFieldName->setText(QString::fromUtf8(argv[4]));

    std::cout << "ready" << std::endl;
    std::string go;
    std::getline(std::cin, go);
    form.cmdConvert_Click();
    for (QString text : ui.messageTexts()) std::cout << text.replace(QLatin1Char('\r'), QLatin1Char(' ')).toStdString() << '\n';
    form.unload();
    return 0;
}
