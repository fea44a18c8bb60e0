#pragma once

// What the QGIS tests share: a QGIS interface over a plain main window, the
// sample project opened in QGIS, the add-in's dialog driven through its
// widgets, and layers read back through QGIS.

#include "DataReadBack.h"
#include "QgisInterfaceDouble.h"
#include "qgis/plugin/Plugin.h"
#include "TempStore.h"
#include "Ui.h"

#include <qgsdatasourceuri.h>
#include <qgsmessagebar.h>
#include <qgsvectorlayer.h>

#include <QMainWindow>
#include <QMenu>
#include <QTemporaryDir>

#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace qgistest {

// QGIS's interface as a plugin uses it: toolbars on a main window, entries
// in its Vector menu, messages on a message bar.
class Interface final : public QgisInterfaceDouble {
public:
    Interface();
    ~Interface() override;

    QWidget* mainWindow() override { return &window; }
    QgsMessageBar* messageBar() override { return bar; }
    QToolBar* addToolBar(const QString& name) override;
    QMenu* vectorMenu() override { return &vector; }
    void addPluginToVectorMenu(const QString& name, QAction* action) override;
    void removePluginVectorMenu(const QString& name, QAction* action) override;

    // The texts of the message bar's items, oldest first.
    QStringList messages();
    // The entries of the Vector menu's submenus, as "submenu/entry".
    QStringList vectorEntries() const;

    QMainWindow window;
    QgsMessageBar* bar;
    QMenu vector;
};

// The sample project in QGIS's project, in a temporary folder, with a memory
// layer besides: `memoryRows` features with every kind of value and nulls.
// `readOnly` takes write permission from the sample files before QGIS
// opens them.
struct SampleProject {
    explicit SampleProject(int memoryRows = 3, bool readOnly = false);
    ~SampleProject();
    QgsVectorLayer& layer(const QString& name) const;
    std::string path(const char* file) const;

    QTemporaryDir folder;
};

// A layer read through QGIS: each field's definition, and by feature id each
// row's values as text ("<null>" for null) and its geometry as WKB.
struct QgisContent {
    struct Field {
        int type;
        int length;
        int precision;
        QString alias;
        friend bool operator==(const Field&, const Field&) = default;
    };
    std::map<QString, Field> fields;
    std::map<long long, std::map<QString, QString>> rows;
    std::map<long long, QByteArray> geometries;
};
QgisContent readLayer(QgsVectorLayer& layer);

// A new PostGIS layer over `schema`.`table` of the database `uri` names,
// its geometry in "geom" and its key in "id".
QgsVectorLayer* postgresLayer(QgsDataSourceUri uri, const QString& schema, const QString& table, const QString& name);

struct Rename {
    QString from;
    QString to;
};
// `content` after the fields `deleted` went and each of `renames` was
// renamed, keeping its values; a renamed field takes the alias `aliases`
// gives its old name, if any.
QgisContent changed(QgisContent content, const QStringList& deleted, const std::vector<Rename>& renames,
                    const std::map<QString, QString>& aliases = {});

// Drives the add-in's main dialog as a person would, through its widgets.
class Dialog {
public:
    Dialog(QWidget& window, testsupport::Ui& ui) : window_(window), ui_(ui) {}
    void deleteFields(const QString& layer, const QStringList& fields);
    void rename(const QString& layer, const QString& from, const QString& to);
    QStringList layers() const;
    QStringList availableFields() const;

private:
    template <class W>
    W* child(const char* name) const;
    bool choose(const char* box, const QString& entry);
    bool click(const char* button);

    QWidget& window_;
    testsupport::Ui& ui_;
};

// While it lives, the add-in's dialog is handed to `work` each time a
// command opens it, and the splash closes at once.
void onDialog(testsupport::Ui& ui, std::function<void(Dialog&)> work);

// While it lives, GDAL reads and writes shapefiles on this thread as in
// any other program: QGIS turns GDAL's recoding of them off for the whole
// process (it reads their code page itself).
class GdalAsElsewhere {
public:
    GdalAsElsewhere();
    ~GdalAsElsewhere();
    GdalAsElsewhere(const GdalAsElsewhere&) = delete;
    GdalAsElsewhere& operator=(const GdalAsElsewhere&) = delete;

private:
    std::optional<std::string> saved_;
};

// The sample project in QGIS with the module registered and the plugin loaded.
class QgisHost {
public:
    explicit QgisHost(int memoryRows = 3, bool readOnly = false);
    ~QgisHost();

    // Presses Quillet's button; `work` runs in its dialog.
    void useDialog(std::function<void(Dialog&)> work);
    // The add-in's messages, oldest first.
    QStringList messages() const { return ui.messageTexts(); }

    testsupport::TempStore store;
    SampleProject project;
    Interface iface;
    qgishost::Plugin plugin{&iface};
    testsupport::Ui ui;
};

} // namespace qgistest
