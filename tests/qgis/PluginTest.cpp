// The plugin as QGIS loads it: its entry points, its buttons from the
// registered toolbar definitions, the extensions it starts, and nothing of
// the host or the add-in module left once it is unloaded.

#include "QgisTestSupport.h"

#include "HostTestClasses.h"
#include "Mapped.h"

#include "hostkit/CommandBars.h"
#include "hostkit/HostObject.h"
#include "hostkit/ModuleRegistration.h"
#include "qgis/plugin/Plugin.h"
#include "runtime/Creation.h"

#include <gtest/gtest.h>

#include <qgisplugin.h>

#include <QAction>
#include <QFileInfo>
#include <QLibrary>
#include <QToolBar>

namespace {

using runtime::ComPtr;
using runtime::S_OK;

using testsupport::TestExtension;
using testsupport::testLife;

class PluginInQgis : public ::testing::Test {
protected:
    PluginInQgis()
    {
        std::vector<std::string> report;
        EXPECT_EQ(hostkit::registerModule(QUILLET_MODULE, report), S_OK);
    }
    ~PluginInQgis() override
    {
        std::vector<std::string> report;
        hostkit::unregisterModule(QUILLET_MODULE, report);
    }

    testsupport::TempStore store;
    qgistest::SampleProject project;
    qgistest::Interface iface;
    testsupport::Ui ui;
};

template <class Fn>
Fn resolve(QLibrary& library, const char* name)
{
    return reinterpret_cast<Fn>(library.resolve(name));
}

TEST_F(PluginInQgis, EntryPointsTellQgisWhatThePluginIs)
{
    QLibrary library(QStringLiteral(QUILLET_QGIS_PLUGIN));
    ASSERT_TRUE(library.load()) << library.errorString().toStdString();
    for (const char* entry : {"classFactory", "name", "description", "category", "version", "icon", "type", "unload"})
        EXPECT_TRUE(library.resolve(entry)) << entry;
    EXPECT_EQ(*resolve<name_t*>(library, "name")(), QStringLiteral("Quillet"));
    EXPECT_FALSE(resolve<description_t*>(library, "description")()->isEmpty());
    EXPECT_EQ(*resolve<category_t*>(library, "category")(), QStringLiteral("Vector"));
    EXPECT_EQ(*resolve<version_t*>(library, "version")(), QStringLiteral(QUILLET_VERSION));
    EXPECT_EQ(resolve<type_t*>(library, "type")(), QgisPlugin::UI);
    // The Plugin Manager shows the icon only when the path names a file.
    const QString icon = *resolve<icon_t*>(library, "icon")();
    EXPECT_TRUE(QFileInfo(icon).isFile()) << icon.toStdString();
    EXPECT_EQ(QImage(icon).size(), QSize(32, 32));
}

// As QGIS does it: the library's class factory, initGui, a press, unload.
TEST_F(PluginInQgis, ButtonsComeWithThePluginAndGoWhenItUnloads)
{
    QLibrary library(QStringLiteral(QUILLET_QGIS_PLUGIN));
    ASSERT_TRUE(library.load()) << library.errorString().toStdString();
    auto* factory = resolve<create_t*>(library, "classFactory");
    auto* destroy = resolve<unload_t*>(library, "unload");
    ASSERT_TRUE(factory && destroy);

    for (int round = 0; round < 2; ++round) {
        QgisPlugin* plugin = factory(&iface);
        plugin->initGui();
        EXPECT_TRUE(iface.messages().isEmpty()) << iface.messages().join('\n').toStdString();
        const auto bars = iface.window.findChildren<QToolBar*>();
        ASSERT_EQ(bars.size(), 1);
        EXPECT_EQ(bars[0]->windowTitle(), QStringLiteral("Quillet Light Version"));
        ASSERT_EQ(bars[0]->actions().size(), 1);
        QAction& button = *bars[0]->actions()[0];
        EXPECT_EQ(button.text(), QStringLiteral("Quillet"));
        EXPECT_EQ(button.toolTip(), QStringLiteral("Click to launch Quillet"));
        // The bitmap's magenta background is transparent.
        const QImage icon = button.icon().pixmap(16, 16).toImage();
        ASSERT_EQ(icon.size(), QSize(16, 16));
        EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
        EXPECT_EQ(iface.vectorEntries(), QStringList({"Quillet Light Version/Quillet"}));

        QStringList listed;
        qgistest::onDialog(ui, [&](qgistest::Dialog& dialog) { listed = dialog.layers(); });
        button.trigger();
        EXPECT_EQ(listed, QStringList({"places", "cities", "roads", "parcels", "rivers", "lakes", "wells",
                                       "elevation"}));
        EXPECT_TRUE(runtime::isModuleLoaded(QUILLET_MODULE));

        plugin->unload();
        EXPECT_TRUE(iface.window.findChildren<QToolBar*>().isEmpty());
        EXPECT_TRUE(iface.vectorEntries().isEmpty());
        EXPECT_FALSE(testsupport::isMapped(QUILLET_MODULE)) << "the add-in module unloads with the plugin";
        ComPtr<host::IRunningApplicationTable> table;
        EXPECT_EQ(runtime::createInstance(host::CLSID_RunningApplicationTable, table), runtime::REGDB_E_CLASSNOTREG);
        destroy(plugin);
    }
}

TEST_F(PluginInQgis, StartsExtensionsAndLeavesNothingAliveWhenUnloaded)
{
    const auto served = testsupport::serveInCategory<TestExtension>(testsupport::CLSID_TestExtension,
                                                                    "QgisTest.Extension", host::CATID_Extensions);
    TestExtension::startups = TestExtension::shutdowns = 0;
    {
        qgishost::Plugin plugin(&iface);
        plugin.initGui();
        EXPECT_EQ(TestExtension::startups, 1);
        ComPtr<host::IRunningApplicationTable> table;
        ASSERT_EQ(runtime::createInstance(host::CLSID_RunningApplicationTable, table), S_OK);
        std::int32_t count = 0;
        table->get_Count(&count);
        ASSERT_EQ(count, 1);
        ComPtr<host::IHostApplication> qgis;
        table->get_Item(0, qgis.put());
        EXPECT_TRUE(qgis.asOrNull<host::IMapApplication>());
        table.reset();
        qgis.reset();

        qgistest::onDialog(ui, [](qgistest::Dialog&) {});
        plugin.commandBars()->buttons().front().action->trigger();
        plugin.unload();
        EXPECT_EQ(TestExtension::shutdowns, 1);
        EXPECT_EQ(hostkit::modelLife.objects, 0) << "no host object outlives the plugin";
        EXPECT_FALSE(testsupport::isMapped(QUILLET_MODULE));
    }
    EXPECT_EQ(testLife.objects, 0);
}

} // namespace
