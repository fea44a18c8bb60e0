#include "TempStore.h"
#include "Ui.h"

#include "forms/Pictures.h"
#include "host/AddinInterfaces.h"
#include "memhost/Host.h"
#include "runtime/Creation.h"
#include "server/clsExtCommand.h"
#include "windows/frmResource.h"

#include <QComboBox>
#include <QDialog>

#include <optional>

#include <gtest/gtest.h>

using namespace runtime;
using host::ICommand;

namespace {

class CommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(reinterpret_cast<DllRegisterServerFn>(moduleEntryPoint(QUILLET_MODULE, "DllRegisterServer"))(), S_OK);
        ASSERT_EQ(createInstance("Quillet.clsExtCommand", command), S_OK);
    }
    void TearDown() override
    {
        command.reset();
        EXPECT_EQ(memhost::Host::liveObjects(), 0);
    }

    testsupport::TempStore store;
    testsupport::Ui ui;
    memhost::Host host;
    ComPtr<ICommand> command;
};

// The entries of the dialog's Delete-tab layer list, when `form` is the dialog.
std::optional<QStringList> layerEntries(forms::Form& form)
{
    auto* box = form.window()->findChild<QComboBox*>(QStringLiteral("cboTargetLayer"));
    if (!box) return std::nullopt;
    return testsupport::entries(*box);
}

std::u16string text(ICommand* c, HResult (ICommand::*getter)(std::u16string*) noexcept)
{
    std::u16string s = u"unset";
    EXPECT_EQ((c->*getter)(&s), S_OK);
    return s;
}

} // namespace

TEST_F(CommandTest, AnswersEverySlot)
{
    ICommand* c = command.get();
    bool flag = false;
    EXPECT_EQ(c->get_Enabled(&flag), S_OK);
    EXPECT_TRUE(flag);
    EXPECT_EQ(c->get_Checked(&flag), S_OK);
    EXPECT_FALSE(flag);
    EXPECT_EQ(text(c, &ICommand::get_Name), u"Quillet");
    EXPECT_EQ(text(c, &ICommand::get_Caption), u"Quillet");
    EXPECT_EQ(text(c, &ICommand::get_Tooltip), u"Click to launch Quillet");
    EXPECT_EQ(text(c, &ICommand::get_Message), u"");
    EXPECT_EQ(text(c, &ICommand::get_HelpFile), u"");
    EXPECT_EQ(text(c, &ICommand::get_Category), u"Quillet");
    std::int32_t number = -1;
    EXPECT_EQ(c->get_HelpContextID(&number), S_OK);
    EXPECT_EQ(number, 0);
}

TEST_F(CommandTest, BitmapIsTheSixteenPixelHammerFromOneResourceLoad)
{
    std::int32_t first = 0, second = 0;
    ASSERT_EQ(command->get_Bitmap(&first), S_OK);
    ASSERT_EQ(command->get_Bitmap(&second), S_OK);
    EXPECT_EQ(first, second);
    const QImage image = forms::pictureFromHandle(first);
    EXPECT_EQ(image.size(), QSize(16, 16));
    EXPECT_EQ(image.pixelColor(0, 0), QColor(255, 0, 255));
}

TEST(CommandResource, LoadsOnceHowOftenTheBitmapIsAsked)
{
    const int before = quillet::frmResource::loadCount();
    ComPtr<ICommand> command = make<quillet::clsExtCommand>().asOrNull<ICommand>();
    std::int32_t handle = 0;
    command->get_Bitmap(&handle);
    command->get_Bitmap(&handle);
    EXPECT_LE(quillet::frmResource::loadCount(), before + 1);
    EXPECT_GE(quillet::frmResource::loadCount(), 1);
}

TEST_F(CommandTest, OnCreateKeepsTheHostObjects)
{
    memhost::Application& app = host.addApplication();
    app.document->addMap(u"Layers");
    ASSERT_EQ(command->OnCreate(host.hook(app).get()), S_OK);
    EXPECT_EQ(app.lastExtensionAsked, u"Quillet.clsExtension");

    const auto automation = command.asOrNull<quillet::_clsExtCommand>();
    ASSERT_TRUE(automation);
    ComPtr<host::IHostApplication> kept;
    ComPtr<host::IMapDocument> doc;
    EXPECT_EQ(automation->get_m_pApp(kept.put()), S_OK);
    EXPECT_EQ(automation->get_m_pDoc(doc.put()), S_OK);
    EXPECT_TRUE(kept);
    EXPECT_TRUE(doc);
}

TEST_F(CommandTest, OnCreateFailsOnANonMapDocumentYetTheClickStillOpensTheDialog)
{
    memhost::Application& other = host.addApplication(false);
    other.document->isMapDocument = false;
    memhost::Application& mapApp = host.addApplication();
    mapApp.document->addMap().addFeatureLayer(u"roads");

    EXPECT_TRUE(failed(command->OnCreate(host.hook(other).get())));

    QStringList layers;
    ui.onModal = [&](forms::Form& form) {
        if (const auto entries = layerEntries(form)) layers = *entries;
        return true;
    };
    EXPECT_EQ(command->OnClick(), S_OK);
    EXPECT_EQ(layers, QStringList{QStringLiteral("roads")});
}

TEST_F(CommandTest, DestroyingACommandNeverClickedSucceeds)
{
    memhost::Application& app = host.addApplication();
    app.document->addMap();
    EXPECT_EQ(command->OnCreate(host.hook(app).get()), S_OK);
    EXPECT_GT(memhost::Host::liveObjects(), 0);
}

TEST_F(CommandTest, EveryClickShowsTheSplashAndRebuildsTheDialogFromTheMap)
{
    memhost::Application& app = host.addApplication();
    memhost::Map& map = app.document->addMap();
    map.addFeatureLayer(u"roads");
    ASSERT_EQ(command->OnCreate(host.hook(app).get()), S_OK);
    std::vector<QStringList> seen;
    ui.onModal = [&](forms::Form& form) {
        if (const auto entries = layerEntries(form)) seen.push_back(*entries);
        return true;
    };
    EXPECT_EQ(command->OnClick(), S_OK);
    map.addFeatureLayer(u"rivers");
    EXPECT_EQ(command->OnClick(), S_OK);

    EXPECT_EQ(ui.modalsShown, (std::vector<QString>{"frmSplash", "frmQuillet", "frmSplash", "frmQuillet"}));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], QStringList({"roads"}));
    EXPECT_EQ(seen[1], QStringList({"roads", "rivers"}));
}
