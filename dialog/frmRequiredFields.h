#pragma once

#include "forms/Form.h"

#include <QPointer>

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace quillet {

// Lists a layer's required fields; it only shows.
class frmRequiredFields : public forms::Form {
public:
    static frmRequiredFields& instance();

    QPointer<QLabel> Label1;
    QPointer<QLabel> lblLayerName;
    QPointer<QGroupBox> frameRequiredFields;
    QPointer<QListWidget> lstRequiredFields;
    QPointer<QPushButton> cmdClose;

    void Form_Load() override;
    void cmdClose_Click();
    // Sets the layer label, sized to its text.
    void showLayerName(const QString& name);

protected:
    forms::WindowStyle style() const override;
    void createControls(QDialog& window) override;

private:
    frmRequiredFields();
};

} // namespace quillet
