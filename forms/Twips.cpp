#include "forms/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace forms {

namespace {
double logicalDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}
} // namespace

int twipsToPixels(int twips) { return qRound(twips * logicalDpi() / 1440.0); }

QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

void place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
}

} // namespace forms
