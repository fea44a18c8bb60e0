#include "forms/Controls.h"
#include "forms/Form.h"
#include "forms/MessageBox.h"
#include "forms/Twips.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct Shown {
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QString title;
    const QWidget* owner = nullptr;
};

// Shows a real message box, reads it, and presses its default button.
Shown showAndRead(const QString& text, forms::MsgKind kind, forms::Answer* answer, QWidget* owner = nullptr)
{
    Shown shown;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        shown = {box->text(),        box->icon(),           box->standardButtons(),
                 box->standardButton(box->defaultButton()), box->windowTitle(), box->parentWidget()};
        QTest::keyClick(box, Qt::Key_Return);
    });
    *answer = forms::msgBox(owner, text, kind, QStringLiteral("Quillet"));
    return shown;
}

class Probe : public forms::Form {
public:
    Probe() : forms::Form(QStringLiteral("Probe")) {}
    QPointer<QPushButton> first, second;
    QPointer<QLineEdit> box;
    int firstClicks = 0, secondClicks = 0;
    std::vector<char16_t> keys;

protected:
    forms::WindowStyle style() const override { return {QStringLiteral("Probe"), 3000, 1500}; }
    void createControls(QDialog& w) override
    {
        first = forms::addButton(&w, "first", QStringLiteral("&First"), {120, 120, 975, 375});
        second = forms::addButton(&w, "second", QStringLiteral("&Second"), {1200, 120, 975, 375});
        box = forms::addTextBox(&w, "box", {120, 600, 1500, 315});
        QObject::connect(first, &QPushButton::clicked, [this] { ++firstClicks; });
        QObject::connect(second, &QPushButton::clicked, [this] { ++secondClicks; });
        forms::onKeyPress(box, [this](char16_t& k) { keys.push_back(k); });
    }
};

} // namespace

TEST(MessageBoxes, TheThreeKindsShowTheirIconButtonsAndDefault)
{
    forms::Answer answer{};
    const Shown question = showAndRead(QStringLiteral("Go on? \rReally?"), forms::MsgKind::Question, &answer);
    EXPECT_EQ(question.icon, QMessageBox::Question);
    EXPECT_EQ(question.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.defaultButton, QMessageBox::No);
    EXPECT_EQ(question.text, QStringLiteral("Go on? \nReally?"));
    EXPECT_EQ(question.title, QStringLiteral("Quillet"));
    EXPECT_EQ(answer, forms::Answer::No);

    const Shown critical = showAndRead(QStringLiteral("<b>x</b>"), forms::MsgKind::Critical, &answer);
    EXPECT_EQ(critical.icon, QMessageBox::Critical);
    EXPECT_EQ(critical.buttons, QMessageBox::Ok);
    EXPECT_EQ(answer, forms::Answer::Ok);

    QDialog window;
    window.show();
    const Shown info = showAndRead(QStringLiteral("done"), forms::MsgKind::Information, &answer, &window);
    EXPECT_EQ(info.icon, QMessageBox::Information);
    EXPECT_EQ(info.buttons, QMessageBox::Ok);
    EXPECT_EQ(info.owner, &window) << "a message belongs to its window";
}

TEST(Twips, FifteenToThePixelAtNinetySixDpi)
{
    const double dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchX();
    EXPECT_EQ(forms::twipsToPixels(1440), qRound(dpi));
    if (dpi == 96.0) {
        EXPECT_EQ(forms::twipsRect(120, 120, 5055, 4095), QRect(8, 8, 337, 273));
    }
}

TEST(Windows, EscapeClosesNothingAndEnterPressesOnlyTheFocusedButton)
{
    Probe probe;
    probe.load();
    probe.window()->show();
    QTest::keyClick(probe.window(), Qt::Key_Escape);
    EXPECT_TRUE(probe.window()->isVisible());

    probe.second->setFocus();
    QTest::keyClick(probe.second, Qt::Key_Return);
    EXPECT_EQ(probe.secondClicks, 1);
    EXPECT_EQ(probe.firstClicks, 0);

    probe.box->setFocus();
    QTest::keyClicks(probe.box, QStringLiteral("ab"));
    QTest::keyClick(probe.box, Qt::Key_Return);
    EXPECT_EQ(probe.keys, (std::vector<char16_t>{u'a', u'b', 13}));
    EXPECT_EQ(probe.box->text(), QStringLiteral("ab"));
    EXPECT_EQ(probe.firstClicks + probe.secondClicks, 1);
    probe.unload();
}

TEST(DropDowns, ASelectionRaisesTheClickOnceAndFillingRaisesNone)
{
    QComboBox box;
    int clicks = 0;
    forms::onDropDownClick(&box, [&] { ++clicks; });
    forms::clearDropDown(&box);
    forms::addDropDownEntry(&box, QStringLiteral("a"));
    forms::addDropDownEntry(&box, QStringLiteral("b"));
    EXPECT_EQ(clicks, 0);
    forms::selectDropDownEntry(&box, 0);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(box.currentText(), QStringLiteral("a"));
    forms::clearDropDown(&box);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(box.currentText(), QString());
}

TEST(Forms, ShowModalReturnsWhenTheWindowUnloadsItself)
{
    Probe probe;
    QTimer::singleShot(0, [&] { probe.unload(); });
    probe.showModal();
    EXPECT_FALSE(probe.isLoaded());
}

// Shown from a handler of the application's, the window is gone when the
// call returns, and what the application queued for deletion meanwhile is
// still there.
TEST(Forms, ShowModalDeletesItsWindowAndNothingElse)
{
    Probe probe;
    QPointer<QDialog> window;
    QPointer<QObject> theirs;
    bool theirsKept = false;
    QEventLoop application;
    QTimer::singleShot(0, [&] {
        theirs = new QObject;
        theirs->deleteLater();
        QTimer::singleShot(0, [&] {
            window = probe.window();
            probe.unload();
        });
        probe.showModal();
        theirsKept = !theirs.isNull();
        application.quit();
    });
    application.exec();
    EXPECT_TRUE(window.isNull()) << "the form's window outlives the call";
    EXPECT_TRUE(theirsKept) << "an object the application queued for deletion was deleted";
}
