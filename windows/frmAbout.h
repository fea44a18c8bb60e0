#pragma once

#include "forms/Form.h"

#include <QPointer>

class QLabel;
class QPushButton;

namespace quillet {

class frmAbout : public forms::Form {
public:
    static frmAbout& instance();

    QPointer<QLabel> Label1;
    QPointer<QLabel> Label2;
    QPointer<QLabel> Label3;
    QPointer<QLabel> Label4;
    QPointer<QPushButton> cmdOK;

    void cmdOK_Click();

protected:
    forms::WindowStyle style() const override;
    void createControls(QDialog& window) override;

private:
    frmAbout();
};

} // namespace quillet
