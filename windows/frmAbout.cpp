#include "windows/frmAbout.h"

#include "forms/Controls.h"
#include "resources/Resources.h"

#include <QLabel>
#include <QPushButton>

namespace quillet {

frmAbout::frmAbout() : forms::Form(QStringLiteral("frmAbout")) {}

frmAbout& frmAbout::instance()
{
    static frmAbout shared;
    return shared;
}

forms::WindowStyle frmAbout::style() const { return {QStringLiteral("About"), 3345, 2025}; }

void frmAbout::createControls(QDialog& w)
{
    w.setWindowIcon(windowIcon());
    const forms::LabelStyle sized{.autoSize = true};
    Label1 = forms::addLabel(&w, "Label1", QStringLiteral("Quillet - Light Version 0.2"), {120, 120, 3120, 240},
                             {.bold = true, .autoSize = true, .pointSize = 9.75});
    Label2 = forms::addLabel(&w, "Label2", QStringLiteral("By the Quillet developers"), {120, 360, 2895, 255});
    Label3 = forms::addLabel(&w, "Label3", QStringLiteral("quillet@example.org"), {600, 960, 2100, 195}, sized);
    Label4 = forms::addLabel(&w, "Label4", QStringLiteral("example.org"), {1080, 1200, 1140, 195}, sized);
    cmdOK = forms::addButton(&w, "cmdOK", QStringLiteral("&OK"), {1200, 1560, 975, 375});
    cmdOK->setFocus();
    QObject::connect(cmdOK, &QPushButton::clicked, &w, [this] { cmdOK_Click(); });
}

void frmAbout::cmdOK_Click() { unload(); }

} // namespace quillet
