// The host side of the add-in's start: the running-application table,
// find-extension, module registration and toolbars built from registered
// definitions, with the real Quillet module.

#include "GisTestSupport.h"
#include "HostTestClasses.h"
#include "TempStore.h"

#include "hostkit/CommandBars.h"
#include "gishost/app/MainWindow.h"
#include "hostkit/ModuleRegistration.h"
#include "gishost/sample/SampleData.h"
#include "runtime/Creation.h"
#include "Ui.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

namespace {

using runtime::ComPtr;
using runtime::Guid;
using runtime::HResult;
using runtime::S_OK;

using testsupport::CLSID_TestExtension;
using testsupport::serveInCategory;
using testsupport::TestExtension;
using testsupport::testLife;

constexpr Guid CLSID_TestToolBar = runtime::guid("{B5D7F1C3-2A4E-4F6B-8C9D-1E3F5A7B9C2D}");

// A toolbar whose one item is Quillet's command.
struct TestToolBar : runtime::Object<testLife, host::IToolBarDef> {
    HResult get_ItemCount(std::int32_t* count) noexcept override { return *count = 2, S_OK; }
    HResult GetItemInfo(std::int32_t pos, host::IToolBarItemDefinition* item) noexcept override
    {
        return pos == 0 ? item->put_CommandId(u"Quillet.clsExtCommand") : S_OK;
    }
    HResult get_Name(std::u16string* name) noexcept override { return *name = u"TestBar", S_OK; }
    HResult get_Caption(std::u16string* caption) noexcept override { return *caption = u"Test toolbar", S_OK; }
};

ComPtr<host::IHostIdentifier> identifier(runtime::Variant value)
{
    ComPtr<host::IHostIdentifier> id;
    runtime::createInstance(host::CLSID_HostIdentifier, id);
    if (id) id->put_Value(value);
    return id;
}

class HostTest : public ::testing::Test {
protected:
    testsupport::TempStore store;
    QTemporaryDir folder;
    std::string geoPackage = gishost::sample::writeGeoPackage(folder.path().toStdString());
};

TEST_F(HostTest, RunningApplicationTableListsTheHostWhileItRuns)
{
    ComPtr<host::IRunningApplicationTable> table;
    std::int32_t count = -1;
    {
        const gistest::Host host({geoPackage});
        ASSERT_EQ(runtime::createInstance(host::CLSID_RunningApplicationTable, table), S_OK);
        ASSERT_EQ(table->get_Count(&count), S_OK);
        ASSERT_EQ(count, 1);
        ComPtr<host::IHostApplication> item;
        ASSERT_EQ(table->get_Item(0, item.put()), S_OK);
        EXPECT_EQ(item.get(), static_cast<host::IHostApplication*>(host.application.get()));
        EXPECT_TRUE(item.asOrNull<host::IMapApplication>());
        EXPECT_NE(table->get_Item(1, item.put()), S_OK);
    }
    ASSERT_EQ(runtime::createInstance(host::CLSID_RunningApplicationTable, table), runtime::REGDB_E_CLASSNOTREG);
    const gistest::Host other({});
    ASSERT_EQ(runtime::createInstance(host::CLSID_RunningApplicationTable, table), S_OK);
    table->get_Count(&count);
    EXPECT_EQ(count, 1) << "the application that went is no longer listed";
}

TEST_F(HostTest, FindsStartedExtensionsByProgIdOrClassId)
{
    const auto served = serveInCategory<TestExtension>(CLSID_TestExtension, "GisTest.Extension", host::CATID_Extensions);
    const gistest::Host host({geoPackage});
    TestExtension::startups = TestExtension::shutdowns = 0;
    EXPECT_TRUE(host.application->extensions().startAll().empty());
    EXPECT_EQ(TestExtension::startups, 1);

    struct Case {
        runtime::Variant value;
        HResult status;
        bool found;
    };
    const Case cases[] = {
        {std::u16string(u"GisTest.Extension"), S_OK, true},
        {std::u16string(u"{A4C6E0B2-1F3D-4E5A-9B7C-0D2E4F6A8B1C}"), S_OK, true},
        {std::u16string(u"Quillet.clsExtension"), S_OK, false},
        {std::int32_t{7}, runtime::E_INVALIDARG, false},
    };
    for (const Case& c : cases) {
        ComPtr<runtime::IUnknown> extension;
        EXPECT_EQ(host.application->FindExtensionByCLSID(identifier(c.value).get(), extension.put()), c.status);
        EXPECT_EQ(extension != nullptr, c.found);
        if (c.found) {
            EXPECT_TRUE(extension.asOrNull<host::IExtension>());
        }
    }
    host.application->extensions().shutdownAll();
    EXPECT_EQ(TestExtension::shutdowns, 1);
}

TEST_F(HostTest, RegisteringTheModuleEntersItsClassesInTheHostCategories)
{
    std::vector<std::string> report;
    ASSERT_EQ(hostkit::registerModule(QUILLET_MODULE, report), S_OK);
    const runtime::Store s = runtime::Store::current();
    const auto command = s.clsidFromProgId("Quillet.clsExtCommand");
    ASSERT_TRUE(command);
    EXPECT_EQ(s.classesInCategory(host::CATID_Commands), std::vector<Guid>{*command});
    EXPECT_NE(std::find(report.begin(), report.end(), "Quillet.clsExtCommand: command"), report.end());
    const auto toolbar = s.clsidFromProgId("Quillet.clsExtToolBar");
    const auto extension = s.clsidFromProgId("Quillet.clsExtension");
    ASSERT_TRUE(toolbar && extension);
    EXPECT_EQ(s.classesInCategory(host::CATID_ToolBars), std::vector<Guid>{*toolbar});
    EXPECT_EQ(s.classesInCategory(host::CATID_Extensions), std::vector<Guid>{*extension});

    report.clear();
    ASSERT_EQ(hostkit::unregisterModule(QUILLET_MODULE, report), S_OK);
    for (const Guid& catid : {host::CATID_Commands, host::CATID_Extensions, host::CATID_ToolBars})
        EXPECT_TRUE(s.classesInCategory(catid).empty());
    EXPECT_FALSE(s.clsidFromProgId("Quillet.clsExtCommand"));
}

TEST_F(HostTest, RegisteringWhatIsNotAModuleFails)
{
    std::vector<std::string> report;
    EXPECT_TRUE(runtime::failed(hostkit::registerModule(geoPackage, report)));
    EXPECT_TRUE(runtime::failed(hostkit::registerModule(folder.filePath("none.so").toStdString(), report)));
}

// Quillet's button, from a registered toolbar definition; a press runs the
// real command, whose dialog finds this host, and the tree is read again.
TEST_F(HostTest, BuildsToolbarButtonsFromRegisteredDefinitions)
{
    std::vector<std::string> report;
    ASSERT_EQ(hostkit::registerModule(QUILLET_MODULE, report), S_OK);
    const runtime::Store s = runtime::Store::current();
    for (const Guid& bar : s.classesInCategory(host::CATID_ToolBars)) s.removeFromCategory(host::CATID_ToolBars, bar);
    const auto served = serveInCategory<TestToolBar>(CLSID_TestToolBar, "GisTest.ToolBar", host::CATID_ToolBars);
    const gistest::Host host({geoPackage});
    {
        gishost::MainWindow window(host.application);
        const auto& bars = window.commandBars().toolBars();
        EXPECT_TRUE(window.commandBars().problems().empty());
        ASSERT_EQ(bars.size(), 1u) << "no second toolbar: the command is placed";
        EXPECT_EQ(bars[0]->windowTitle(), QStringLiteral("Test toolbar"));
        const auto actions = bars[0]->actions();
        ASSERT_EQ(actions.size(), 1);
        EXPECT_EQ(actions[0]->text(), QStringLiteral("Quillet"));
        EXPECT_EQ(actions[0]->toolTip(), QStringLiteral("Click to launch Quillet"));
        EXPECT_TRUE(actions[0]->isEnabled());
        EXPECT_FALSE(actions[0]->icon().isNull());

        testsupport::Ui ui;
        window.tree().clear();
        window.statusBar()->showMessage(QStringLiteral("Before the command"));
        actions[0]->trigger();
        EXPECT_EQ(window.statusBar()->currentMessage(), QStringLiteral("Ready")) << "once the command is over";
        EXPECT_NE(std::find(ui.modalsShown.begin(), ui.modalsShown.end(), QStringLiteral("frmQuillet")),
                  ui.modalsShown.end());
        EXPECT_EQ(window.tree().topLevelItemCount(), 1) << "the tree is read again after the click";
    }
    hostkit::unregisterModule(QUILLET_MODULE, report);
}

TEST_F(HostTest, QuilletsOwnToolbarHoldsItsButton)
{
    std::vector<std::string> report;
    ASSERT_EQ(hostkit::registerModule(QUILLET_MODULE, report), S_OK);
    const gistest::Host host({geoPackage});
    {
        gishost::MainWindow window(host.application);
        const auto& bars = window.commandBars().toolBars();
        ASSERT_EQ(bars.size(), 1u);
        EXPECT_EQ(bars[0]->windowTitle(), QStringLiteral("Quillet Light Version"));
        ASSERT_EQ(bars[0]->actions().size(), 1);
        EXPECT_EQ(bars[0]->actions()[0]->text(), QStringLiteral("Quillet"));
    }
    hostkit::unregisterModule(QUILLET_MODULE, report);
}

TEST_F(HostTest, CommandsThatNoToolbarPlacesGetAToolbarOfTheirOwn)
{
    std::vector<std::string> report;
    ASSERT_EQ(hostkit::registerModule(QUILLET_MODULE, report), S_OK);
    const runtime::Store s = runtime::Store::current();
    for (const Guid& bar : s.classesInCategory(host::CATID_ToolBars)) s.removeFromCategory(host::CATID_ToolBars, bar);
    const gistest::Host host({geoPackage});
    {
        gishost::MainWindow window(host.application);
        const auto& bars = window.commandBars().toolBars();
        ASSERT_EQ(bars.size(), 1u);
        ASSERT_EQ(bars[0]->actions().size(), 1);
        EXPECT_EQ(bars[0]->actions()[0]->text(), QStringLiteral("Quillet"));
    }
    hostkit::unregisterModule(QUILLET_MODULE, report);
}

// Data that cannot be written is shown as such, and the engine's reason for
// a refused change reaches the status bar.
TEST_F(HostTest, ReadOnlyDataIsShownAsSuchAndTheStatusBarSaysWhyAChangeWasRefused)
{
    gistest::setWritable(geoPackage, false);
    const gistest::Host host({geoPackage});
    gishost::MainWindow window(host.application);
    ASSERT_EQ(window.tree().topLevelItemCount(), 1);
    EXPECT_EQ(window.tree().topLevelItem(0)->text(2), QStringLiteral("Map (read-only)"));
    const auto featureClass = gistest::featureClassAt(host, 0, 0);
    ComPtr<host::IFieldCollection> fields;
    ComPtr<host::IFieldDefinition> field;
    ASSERT_EQ(featureClass->get_Fields(fields.put()), S_OK);
    ASSERT_EQ(fields->get_Field(2, field.put()), S_OK);
    EXPECT_EQ(featureClass->DeleteField(field.get()), runtime::E_ACCESSDENIED);
    const QString shown = window.statusBar()->currentMessage();
    EXPECT_TRUE(shown.contains(QString::fromStdString(geoPackage))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("read-only"))) << shown.toStdString();
}

} // namespace
