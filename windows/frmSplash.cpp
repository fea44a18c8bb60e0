#include "windows/frmSplash.h"

#include "resources/Resources.h"

#include <QDialog>
#include <QLabel>
#include <QPixmap>
#include <QTimer>

namespace quillet {

frmSplash::frmSplash() : forms::Form(QStringLiteral("frmSplash")) {}

forms::WindowStyle frmSplash::style() const { return {QString(), 4500, 3555, false}; }

void frmSplash::createControls(QDialog& w)
{
    auto* picture = new QLabel(&w);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setPixmap(QPixmap::fromImage(splashPicture()));
    picture->setScaledContents(true);
    picture->setGeometry(w.rect());
    Timer1 = new QTimer(&w);
    QObject::connect(Timer1, &QTimer::timeout, &w, [this] { Timer1_Timer(); });
}

void frmSplash::Form_Load()
{
    tickCount = 0;
    Timer1->setInterval(1000);
    Timer1->start();
}

void frmSplash::Timer1_Timer()
{
    ++tickCount;
    if (tickCount >= 2) unload();
}

} // namespace quillet
