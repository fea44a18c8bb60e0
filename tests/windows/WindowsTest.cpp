#include "Ui.h"

#include "dialog/frmQuillet.h"
#include "memhost/Host.h"
#include "resources/Resources.h"
#include "server/clsExtCommand.h"
#include "windows/frmAbout.h"
#include "windows/frmSplash.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

TEST(Splash, ClosesOnTheSecondTickNotTheFirst)
{
    testsupport::Ui ui;
    quillet::frmSplash splash;
    for (int round = 0; round < 2; ++round) {
        splash.load();
        EXPECT_EQ(splash.tickCount, 0);
        EXPECT_EQ(splash.Timer1->interval(), 1000);
        EXPECT_TRUE(splash.Timer1->isActive());
        EXPECT_EQ(splash.window()->size(), QSize(300, 237));
        EXPECT_TRUE(splash.window()->windowTitle().isEmpty());
        EXPECT_EQ(quillet::splashPicture().size(), QSize(300, 237)) << "the picture is built into the module";
        splash.Timer1_Timer();
        EXPECT_TRUE(splash.isLoaded());
        splash.Timer1_Timer();
        EXPECT_FALSE(splash.isLoaded());
    }
}

TEST(Splash, AClickWaitsTheRealTwoSecondsBeforeTheDialog)
{
    testsupport::Ui ui;
    memhost::Host host;
    memhost::Application& app = host.addApplication();
    app.document->addMap().addFeatureLayer(u"roads");
    auto command = runtime::make<quillet::clsExtCommand>();
    ASSERT_EQ(command->OnCreate(host.hook(app).get()), runtime::S_OK);

    QElapsedTimer clock;
    qint64 dialogAfter = -1;
    ui.onModal = [&](forms::Form& form) {
        if (form.name() == QStringLiteral("frmSplash")) return false; // the real modal loop
        dialogAfter = clock.elapsed();
        return true;
    };
    clock.start();
    EXPECT_EQ(command->OnClick(), runtime::S_OK);
    EXPECT_GE(dialogAfter, 1900);
}

TEST(About, OpensTwiceFromTheSameDialogAndOkClosesItEachTime)
{
    testsupport::Ui ui;
    memhost::Host host;
    host.addApplication();
    quillet::frmQuillet dialog;
    dialog.load();
    int shown = 0;
    ui.onModal = [&](forms::Form& form) {
        if (form.name() != QStringLiteral("frmAbout")) return true;
        ++shown;
        auto& about = quillet::frmAbout::instance();
        EXPECT_EQ(about.window()->windowTitle(), QStringLiteral("About"));
        EXPECT_EQ(about.Label1->text(), QStringLiteral("Quillet - Light Version 0.2"));
        EXPECT_EQ(about.cmdOK->text(), QStringLiteral("&OK"));
        about.cmdOK->click();
        EXPECT_FALSE(about.isLoaded());
        return true;
    };
    dialog.cmdAbout_Click();
    dialog.cmdAbout_Click();
    EXPECT_EQ(shown, 2);
    dialog.unload();
}
