#include "Ui.h"

#include "dialog/frmQuillet.h"
#include "dialog/frmRequiredFields.h"
#include "memhost/Host.h"
#include "resources/Resources.h"
#include "server/clsExtCommand.h"
#include "windows/frmAbout.h"
#include "windows/frmSplash.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTabWidget>
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

namespace {

// What of a control's text does not fit inside it; empty when all of it does.
QString textProblem(QWidget& w)
{
    const QFontMetrics fm = w.fontMetrics();
    auto tooSmall = [&](const QString& text, const QRect& room) {
        const int width = fm.horizontalAdvance(text);
        if (width <= room.width() && fm.height() <= room.height()) return QString();
        return QStringLiteral("\"%1\" needs %2x%3 px, has %4x%5")
            .arg(text).arg(width).arg(fm.height()).arg(room.width()).arg(room.height());
    };
    if (auto* button = qobject_cast<QPushButton*>(&w)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        // "&" marks the access key and is not drawn.
        const QString shown =
            QString(button->text()).replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
        return tooSmall(shown, button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button));
    }
    if (auto* label = qobject_cast<QLabel*>(&w)) {
        if (label->text().isEmpty()) return {};
        if (!label->wordWrap()) return tooSmall(label->text(), label->contentsRect());
        const int needed = label->heightForWidth(label->contentsRect().width());
        if (needed <= label->contentsRect().height()) return {};
        return QStringLiteral("wrapped text needs %1 px of height, has %2")
            .arg(needed)
            .arg(label->contentsRect().height());
    }
    if (auto* frame = qobject_cast<QGroupBox*>(&w)) {
        if (frame->title().isEmpty()) return {};
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame);
        return frame->rect().contains(title) ? QString() : QStringLiteral("the title leaves the frame");
    }
    if (auto* box = qobject_cast<QComboBox*>(&w)) {
        QStyleOptionComboBox option;
        option.initFrom(box);
        return tooSmall(QStringLiteral("Xg"), box->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                                          QStyle::SC_ComboBoxEditField, box));
    }
    if (auto* box = qobject_cast<QLineEdit*>(&w)) {
        QStyleOptionFrame option;
        option.initFrom(box);
        return tooSmall(QStringLiteral("Xg"), box->style()->subElementRect(QStyle::SE_LineEditContents, &option, box));
    }
    if (auto* tabs = qobject_cast<QTabWidget*>(&w)) {
        for (int i = 0; i < tabs->count(); ++i)
            if (!tabs->rect().contains(tabs->tabBar()->tabRect(i).translated(tabs->tabBar()->pos())))
                return QStringLiteral("tab \"%1\" lies outside the strip").arg(tabs->tabText(i));
    }
    return {};
}

// The window's own controls, on the window or in its frames; not the parts
// Qt builds a control from.
std::vector<QWidget*> controlsOf(QWidget& window)
{
    std::vector<QWidget*> controls;
    for (QWidget* w : window.findChildren<QWidget*>())
        if (w->parentWidget() == &window || qobject_cast<QGroupBox*>(w->parentWidget())) controls.push_back(w);
    return controls;
}

// Frames and the tab strip hold other controls; the rest must not overlap.
bool holdsControls(const QWidget* w) { return qobject_cast<const QGroupBox*>(w) || qobject_cast<const QTabWidget*>(w); }

} // namespace

// Every caption, label and entry line shows whole at the laid-out size, and
// no control spills out of its container or over its neighbour.
TEST(Windows, EveryTextFitsItsControl)
{
    testsupport::Ui ui;
    memhost::Host host;
    host.addApplication();
    quillet::frmQuillet dialog;
    quillet::frmSplash splash;
    forms::Form* windows[] = {&dialog, &quillet::frmRequiredFields::instance(), &quillet::frmAbout::instance(), &splash};
    for (forms::Form* form : windows) {
        form->load();
        EXPECT_EQ(QFontInfo(form->window()->font()).family().toStdString(), forms::windowFontFamily)
            << "the windows' font is not installed";
        const std::vector<QWidget*> controls = controlsOf(*form->window());
        for (QWidget* control : controls) {
            const std::string where = (form->name() + QLatin1Char('.') + control->objectName()).toStdString();
            EXPECT_EQ(textProblem(*control).toStdString(), "") << where;
            EXPECT_TRUE(control->parentWidget()->rect().contains(control->geometry())) << where << " leaves its container";
            for (QWidget* other : controls) {
                if (other == control || other->parentWidget() != control->parentWidget()) continue;
                if (holdsControls(control) || holdsControls(other)) continue;
                EXPECT_FALSE(control->geometry().intersects(other->geometry()))
                    << where << " overlaps " << other->objectName().toStdString();
            }
        }
        form->unload();
    }
}
