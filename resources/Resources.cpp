#include "resources/Resources.h"

#include <QPixmap>

#include "resources/hammer.xpm"
#include "resources/icon16.xpm"
#include "resources/icon32.xpm"

// Outside any namespace, where Qt declares the resource's initialiser.
static void initResources() { Q_INIT_RESOURCE(quillet); }

namespace quillet {

QImage buttonBitmap() { return QImage(hammer_xpm); }

QImage splashPicture()
{
    static const bool ready = (initResources(), true);
    (void)ready;
    return QImage(QStringLiteral(":/quillet/splash.bmp"));
}

QIcon windowIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap(icon16_xpm));
    icon.addPixmap(QPixmap(icon32_xpm));
    return icon;
}

} // namespace quillet
