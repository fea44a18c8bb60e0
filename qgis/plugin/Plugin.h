#pragma once

#include <qgisplugin.h>

#include <QObject>

#include <memory>

class QgisInterface;

namespace hostkit {
class CommandBars;
}

namespace qgishost {

// Quillet's plugin for QGIS: while loaded, QGIS is a host of the add-ins
// registered in the component store. Loading starts the registered
// extensions and puts each registered toolbar definition's commands on a
// QGIS toolbar and in the Vector menu; unloading takes them away again and
// releases every object, so that the add-in modules can unload.
class Plugin final : public QObject, public QgisPlugin {
public:
    explicit Plugin(QgisInterface* iface);
    ~Plugin() override;

    void initGui() override;
    void unload() override;

    // Null while the plugin is not loaded.
    const hostkit::CommandBars* commandBars() const noexcept;

private:
    struct Session;

    QgisInterface* iface_;
    std::unique_ptr<Session> session_;
};

// What the Plugin Manager shows.
namespace about {
inline const QString name = QStringLiteral("Quillet");
inline const QString description =
    QStringLiteral("Deletes fields of a vector layer, or renames a field, keeping every value: the Quillet add-in "
                   "inside QGIS.");
inline const QString category = QStringLiteral("Vector");
inline const QString version = QStringLiteral(QUILLET_VERSION);
inline const QString icon = QStringLiteral(":/quillet-qgis/icon.png");
} // namespace about

} // namespace qgishost
