#include "QgisTestSupport.h"
#include "Renamed.h"

#include "qgis/sample/SampleProject.h"
#include "gishost/sample/SampleData.h"
#include "forms/Controls.h"
#include "forms/Form.h"
#include "hostkit/CommandBars.h"
#include "hostkit/ModuleRegistration.h"

#include <gtest/gtest.h>

#include <qgsfeatureiterator.h>
#include <qgsmessagebaritem.h>
#include <qgsproject.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolBar>

#include <cpl_conv.h>

#include <stdexcept>

namespace qgistest {

Interface::Interface() : bar(new QgsMessageBar(&window)) {}

Interface::~Interface() = default;

QToolBar* Interface::addToolBar(const QString& name)
{
    QToolBar* toolBar = window.addToolBar(name);
    toolBar->setObjectName(name);
    return toolBar;
}

void Interface::addPluginToVectorMenu(const QString& name, QAction* action)
{
    QMenu* menu = nullptr;
    for (QAction* entry : vector.actions())
        if (entry->menu() && entry->text() == name) menu = entry->menu();
    if (!menu) menu = vector.addMenu(name);
    menu->addAction(action);
}

void Interface::removePluginVectorMenu(const QString& name, QAction* action)
{
    for (QAction* entry : vector.actions()) {
        if (!entry->menu() || entry->text() != name) continue;
        QMenu* menu = entry->menu();
        menu->removeAction(action);
        if (menu->actions().isEmpty()) delete menu;
        return;
    }
}

QStringList Interface::messages()
{
    QStringList out;
    for (QgsMessageBarItem* item : bar->items()) out << item->text();
    return out;
}

QStringList Interface::vectorEntries() const
{
    QStringList out;
    for (QAction* entry : vector.actions())
        if (entry->menu())
            for (QAction* action : entry->menu()->actions()) out << entry->text() + '/' + action->text();
    return out;
}

namespace {

// Every kind of value a memory layer holds, with nulls.
QgsVectorLayer* memoryLayer(int rows)
{
    auto* layer = new QgsVectorLayer(QStringLiteral("Point?crs=EPSG:4326&field=name:string(30)&field=visits:integer"
                                                    "&field=big:int8&field=ratio:double(12,4)&field=seen:date"
                                                    "&field=open:boolean"),
                                     QStringLiteral("places"), QStringLiteral("memory"));
    QgsFeatureList features;
    for (int row = 0; row < rows; ++row) {
        QgsFeature feature(layer->fields());
        const bool gap = row % 4 == 3;
        feature.setAttributes(QgsAttributes(QVector<QVariant>{gap ? QVariant() : QVariant(QStringLiteral("Zoë's place %1").arg(row)),
                               row * 7 - 3, gap ? QVariant() : QVariant(qlonglong(row) * 5000000000LL),
                               row * 1.25, gap ? QVariant() : QVariant(QDate(2000 + row % 30, 1 + row % 12, 1)),
                               QVariant(row % 2 == 0)}));
        feature.setGeometry(QgsGeometry::fromPointXY(QgsPointXY(5 + row * 0.001, 45 + row * 0.0005)));
        features << feature;
    }
    layer->dataProvider()->addFeatures(features);
    return layer;
}

} // namespace

SampleProject::SampleProject(int memoryRows, bool readOnly)
{
    const std::vector<std::string> paths = gishost::sample::writeAll(folder.path().toStdString());
    if (readOnly)
        for (const std::string& p : paths) gistest::setWritable(p, false);
    QgsProject& project = *QgsProject::instance();
    project.clear();
    qgishost::sample::fillProject(project, paths);
    project.addMapLayer(memoryLayer(memoryRows));
}

SampleProject::~SampleProject() { QgsProject::instance()->clear(); }

QgsVectorLayer& SampleProject::layer(const QString& name) const
{
    const auto found = QgsProject::instance()->mapLayersByName(name);
    auto* layer = found.isEmpty() ? nullptr : qobject_cast<QgsVectorLayer*>(found.front());
    if (!layer) throw std::runtime_error("no vector layer " + name.toStdString());
    return *layer;
}

std::string SampleProject::path(const char* file) const { return folder.filePath(QString::fromUtf8(file)).toStdString(); }

QgisContent readLayer(QgsVectorLayer& layer)
{
    QgisContent content;
    const QgsFields fields = layer.fields();
    for (int i = 0; i < fields.count(); ++i)
        content.fields[fields.at(i).name()] = {static_cast<int>(fields.at(i).type()), fields.at(i).length(),
                                               fields.at(i).precision(), layer.attributeAlias(i)};
    QgsFeatureIterator features = layer.getFeatures();
    QgsFeature feature;
    while (features.nextFeature(feature)) {
        auto& row = content.rows[feature.id()];
        for (int i = 0; i < fields.count(); ++i) {
            const QVariant value = feature.attribute(i);
            row[fields.at(i).name()] = value.isNull() ? QStringLiteral("<null>") : value.toString();
        }
        if (feature.hasGeometry()) content.geometries[feature.id()] = feature.geometry().asWkb();
    }
    return content;
}

QgsVectorLayer* postgresLayer(QgsDataSourceUri uri, const QString& schema, const QString& table, const QString& name)
{
    uri.setDataSource(schema, table, QStringLiteral("geom"), QString(), QStringLiteral("id"));
    return new QgsVectorLayer(uri.uri(false), name, QStringLiteral("postgres"));
}

QgisContent changed(QgisContent content, const QStringList& deleted, const std::vector<Rename>& renames,
                    const std::map<QString, QString>& aliases)
{
    gistest::deleteAndRename(content.fields, content.rows, deleted, renames);
    for (const Rename& r : renames)
        if (const auto alias = aliases.find(r.from); alias != aliases.end()) content.fields.at(r.to).alias = alias->second;
    return content;
}

// The dialog's widgets are the module's own: they are found by name, and a
// missing one fails the test rather than throwing through the module.
template <class W>
W* Dialog::child(const char* name) const
{
    W* found = window_.findChild<W*>(QString::fromLatin1(name));
    if (!found) ADD_FAILURE() << "the dialog has no " << name;
    return found;
}

bool Dialog::choose(const char* box, const QString& entry)
{
    auto* combo = child<QComboBox>(box);
    const int index = combo ? combo->findText(entry) : -1;
    if (index < 0) {
        ADD_FAILURE() << box << " has no entry " << entry.toStdString();
        return false;
    }
    forms::selectDropDownEntry(combo, index);
    return true;
}

bool Dialog::click(const char* button)
{
    auto* pressed = child<QPushButton>(button);
    if (pressed) pressed->click();
    return pressed != nullptr;
}

void Dialog::deleteFields(const QString& layer, const QStringList& fields)
{
    auto* available = child<QListWidget>("lstAvailableFields");
    if (!available || !choose("cboTargetLayer", layer)) return;
    for (const QString& name : fields) {
        const auto found = available->findItems(name, Qt::MatchExactly);
        if (found.size() != 1) {
            ADD_FAILURE() << "no field to delete named " << name.toStdString();
            return;
        }
        available->setCurrentItem(found.front());
        if (!click("cmdAdd")) return;
    }
    ui_.answers.push_back(forms::Answer::Yes);
    click("cmdDelete");
}

void Dialog::rename(const QString& layer, const QString& from, const QString& to)
{
    auto* name = child<QLineEdit>("txtNewFieldName");
    if (!name || !choose("cboTargetLayerRename", layer) || !choose("cboCurrentFieldName", from)) return;
    name->setText(to);
    click("cmdConvert");
}

QStringList Dialog::layers() const
{
    const auto* box = child<QComboBox>("cboTargetLayer");
    return box ? testsupport::entries(*box) : QStringList();
}

QStringList Dialog::availableFields() const
{
    const auto* list = child<QListWidget>("lstAvailableFields");
    return list ? testsupport::entries(*list) : QStringList();
}

void onDialog(testsupport::Ui& ui, std::function<void(Dialog&)> work)
{
    ui.onModal = [&ui, work = std::move(work)](forms::Form& form) {
        if (form.name() != QStringLiteral("frmQuillet")) return true;
        Dialog dialog(*form.window(), ui);
        work(dialog);
        return true;
    };
}

GdalAsElsewhere::GdalAsElsewhere()
{
    if (const char* value = CPLGetConfigOption("SHAPE_ENCODING", nullptr)) saved_ = value;
    CPLSetConfigOption("SHAPE_ENCODING", nullptr);
}

GdalAsElsewhere::~GdalAsElsewhere() { CPLSetConfigOption("SHAPE_ENCODING", saved_ ? saved_->c_str() : nullptr); }

QgisHost::QgisHost(int memoryRows, bool readOnly) : project(memoryRows, readOnly)
{
    std::vector<std::string> report;
    EXPECT_EQ(hostkit::registerModule(QUILLET_MODULE, report), runtime::S_OK);
    plugin.initGui();
}

QgisHost::~QgisHost() { plugin.unload(); }

void QgisHost::useDialog(std::function<void(Dialog&)> work)
{
    onDialog(ui, std::move(work));
    const auto* bars = plugin.commandBars();
    ASSERT_TRUE(bars && !bars->buttons().empty());
    bars->buttons().front().action->trigger();
    ui.onModal = nullptr;
}

} // namespace qgistest
