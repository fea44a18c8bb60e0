// The functions QGIS looks for in a C++ plugin.

#include "qgis/plugin/Plugin.h"

#include <qgis.h>

using qgishost::Plugin;
namespace about = qgishost::about;

QGISEXTERN QgisPlugin* classFactory(QgisInterface* iface) { return new Plugin(iface); }
QGISEXTERN const QString* name() { return &about::name; }
QGISEXTERN const QString* description() { return &about::description; }
QGISEXTERN const QString* category() { return &about::category; }
QGISEXTERN const QString* version() { return &about::version; }
QGISEXTERN const QString* icon() { return &about::icon; }
QGISEXTERN int type() { return QgisPlugin::UI; }
QGISEXTERN void unload(QgisPlugin* plugin) { delete plugin; }
