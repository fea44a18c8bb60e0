#pragma once

#include "forms/Form.h"

#include <QPointer>

class QTimer;

namespace quillet {

// Shown for two timer ticks before the dialog; it closes itself.
class frmSplash : public forms::Form {
public:
    frmSplash();

    std::int32_t tickCount = 0;
    QPointer<QTimer> Timer1;

    void Form_Load() override;
    void Timer1_Timer();

protected:
    forms::WindowStyle style() const override;
    void createControls(QDialog& window) override;
};

} // namespace quillet
