#include "DialogFixture.h"

#include "dialog/Messages.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

using forms::Answer;
using forms::MsgKind;


TEST_F(DialogTest, LoadWorksOnTheLastRunningMapApplication)
{
    app.document->addMap().addFeatureLayer(u"first");
    host.addApplication(false).document->addMap().addFeatureLayer(u"not a map application");
    host.addApplication().document->addMap().addFeatureLayer(u"last");

    form.load();

    EXPECT_EQ(items(form.cboTargetLayer), QStringList{QStringLiteral("last")});
    EXPECT_EQ(items(form.cboTargetLayerRename), QStringList{QStringLiteral("last")});
    EXPECT_TRUE(form.m_pApp);
    EXPECT_TRUE(form.m_pDoc);
    EXPECT_TRUE(form.m_pAppRot);
}

TEST_F(DialogTest, LoadWithoutAMapApplicationOrWithoutTheTableOpensEmpty)
{
    app.document->addMap().addFeatureLayer(u"roads");
    host.faults().fail(memhost::Role::RunningApplicationTable, "create");
    form.load();
    EXPECT_EQ(form.cboTargetLayer->count(), 0);
    EXPECT_EQ(form.cboTargetLayerRename->count(), 0);
    EXPECT_FALSE(form.m_pAppRot);
    form.unload();

    host.faults().clear();
    app.isMapApplication = false;
    form.load();
    EXPECT_EQ(form.cboTargetLayer->count(), 0);
    EXPECT_FALSE(form.m_pApp);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DialogTest, FormFieldsOutliveUnloadingWhileControlsDoNot)
{
    app.document->addMap().addFeatureLayer(u"roads");
    form.load();
    QPointer<QComboBox> oldBox = form.cboTargetLayer;
    form.unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(oldBox);
    EXPECT_TRUE(form.m_pApp);

    // A failing table on the next load keeps the application found before.
    host.faults().fail(memhost::Role::RunningApplicationTable, "get_Count");
    form.load();
    EXPECT_EQ(items(form.cboTargetLayer), QStringList{QStringLiteral("roads")});
}

TEST_F(DialogTest, TabsShowTheirFramesAndKeepEveryControlsContent)
{
    memhost::Layer& roads = app.document->addMap().addFeatureLayer(u"roads");
    addFields(roads, {u"NAME", u"CODE"});
    form.load();
    EXPECT_FALSE(form.frameDeleteFields->isHidden());
    EXPECT_TRUE(form.frameRenameFields->isHidden());
    select(form.lstAvailableFields, QStringLiteral("NAME"));
    form.cmdAdd_Click();

    form.TabStrip1->setCurrentIndex(1);
    EXPECT_TRUE(form.frameDeleteFields->isHidden());
    EXPECT_FALSE(form.frameRenameFields->isHidden());
    form.txtNewFieldName->setText(QStringLiteral("typed"));

    form.TabStrip1->setCurrentIndex(0);
    form.TabStrip1_Click(); // the selected tab clicked again changes nothing
    EXPECT_FALSE(form.frameDeleteFields->isHidden());
    EXPECT_TRUE(form.frameRenameFields->isHidden());
    EXPECT_EQ(items(form.lstSelectedFields), QStringList{QStringLiteral("NAME")});
    EXPECT_EQ(items(form.lstAvailableFields), QStringList{QStringLiteral("CODE")});
    EXPECT_EQ(form.txtNewFieldName->text(), QStringLiteral("typed"));
    EXPECT_EQ(form.cboTargetLayer->currentText(), QStringLiteral("roads"));
}

TEST_F(DialogTest, AnUnreadableTabKeyShowsTheDeleteFrame)
{
    form.load();
    form.TabStrip1->tabBar()->setTabData(1, QVariant());
    form.TabStrip1->setCurrentIndex(1);
    EXPECT_FALSE(form.frameDeleteFields->isHidden());
    EXPECT_TRUE(form.frameRenameFields->isHidden());
}

TEST_F(DialogTest, CloseAsksFirstAndNoKeepsEverything)
{
    memhost::Layer& roads = app.document->addMap().addFeatureLayer(u"roads");
    addFields(roads, {u"NAME"});
    form.load();
    ui.answers = {Answer::No};
    form.cmdClose_Click();

    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, QStringLiteral("Do you really want to quit?"));
    EXPECT_EQ(ui.messages[0].title, QStringLiteral("Quillet"));
    EXPECT_EQ(ui.messages[0].kind, MsgKind::Question);
    EXPECT_EQ(ui.messages[0].owner, form.window()) << "the question belongs to the dialog";
    EXPECT_TRUE(form.isLoaded());
    EXPECT_EQ(items(form.lstAvailableFields), QStringList{QStringLiteral("NAME")});

    ui.answers = {Answer::Yes};
    form.cmdClose_Click();
    EXPECT_FALSE(form.isLoaded());
}

TEST_F(DialogTest, CloseYesEndsTheModalShow)
{
    ui.answers = {Answer::Yes};
    ui.onModal = [&](forms::Form&) {
        QTimer::singleShot(0, form.cmdClose.data(), [this] { form.cmdClose->click(); });
        return false; // run the real modal loop
    };
    form.showModal();
    EXPECT_FALSE(form.isLoaded());
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST_F(DialogTest, TheCloseBoxUnloadsWithoutAsking)
{
    ui.onModal = [&](forms::Form& f) {
        QTimer::singleShot(0, f.window(), [&f] { f.window()->close(); });
        return false;
    };
    form.showModal();
    EXPECT_FALSE(form.isLoaded());
    EXPECT_TRUE(ui.messages.empty());
}
