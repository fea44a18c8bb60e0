#include "windows/frmSplash.h"

#include "resources/Resources.h"

#include <QDialog>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

namespace quillet {

namespace {

// The picture with the line that names the desktop it runs in, under the
// title, in the title's pale blue.
QImage pictureForHost()
{
    QImage picture = splashPicture();
    QPainter painter(&picture);
    QFont font(QString::fromLatin1(forms::windowFontFamily));
    font.setPixelSize(11);
    painter.setFont(font);
    painter.setPen(QColor(0xd0, 0xe0, 0xf0));
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.drawText(QRect(20, 82, 270, 16), Qt::AlignLeft | Qt::AlignVCenter,
                     QStringLiteral("for %1").arg(forms::hostTitle()));
    return picture;
}

} // namespace

frmSplash::frmSplash() : forms::Form(QStringLiteral("frmSplash")) {}

forms::WindowStyle frmSplash::style() const { return {QString(), 4500, 3555, false}; }

void frmSplash::createControls(QDialog& w)
{
    auto* picture = new QLabel(&w);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setPixmap(QPixmap::fromImage(pictureForHost()));
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
