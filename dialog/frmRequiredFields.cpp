#include "dialog/frmRequiredFields.h"

#include "dialog/Messages.h"
#include "forms/Controls.h"
#include "resources/Resources.h"

#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace quillet {

frmRequiredFields::frmRequiredFields() : forms::Form(QStringLiteral("frmRequiredFields")) {}

frmRequiredFields& frmRequiredFields::instance()
{
    static frmRequiredFields shared;
    return shared;
}

forms::WindowStyle frmRequiredFields::style() const { return {text::title, 3570, 3090}; }

void frmRequiredFields::createControls(QDialog& w)
{
    w.setWindowIcon(windowIcon());
    const forms::LabelStyle boldSized{.bold = true, .autoSize = true, .pointSize = 8.25};
    Label1 = forms::addLabel(&w, "Label1", QStringLiteral("Selected layer:"), {120, 120, 1290, 195}, boldSized);
    lblLayerName = forms::addLabel(&w, "lblLayerName", QStringLiteral("N/A"), {1560, 120, 360, 195}, boldSized);
    frameRequiredFields =
        forms::addFrame(&w, "frameRequiredFields", QStringLiteral("Required field(s) "), {120, 360, 3375, 2175});
    lstRequiredFields = forms::addListBox(frameRequiredFields, "lstRequiredFields", {120, 240, 3135, 1815},
                                          QStringLiteral("Note: You won't be able to delete/rename any of them."));
    cmdClose = forms::addButton(&w, "cmdClose", QStringLiteral("&Close"), {2400, 2640, 1095, 375});
    QWidget::setTabOrder(lstRequiredFields, cmdClose);
    QObject::connect(cmdClose, &QPushButton::clicked, &w, [this] { cmdClose_Click(); });
}

void frmRequiredFields::Form_Load() { lstRequiredFields->clear(); }

void frmRequiredFields::cmdClose_Click() { unload(); }

void frmRequiredFields::showLayerName(const QString& name)
{
    lblLayerName->setText(name);
    lblLayerName->resize(lblLayerName->sizeHint());
}

} // namespace quillet
