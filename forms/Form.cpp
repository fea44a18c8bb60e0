#include "forms/Form.h"

#include "forms/Twips.h"

#include <QAbstractButton>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

namespace forms {

namespace {

testing::ModalHandler& modalHandler()
{
    static testing::ModalHandler h;
    return h;
}

// A dialog window with no default or cancel button: Escape closes nothing,
// and Enter presses only the button that has the focus.
class Window : public QDialog {
public:
    using QDialog::QDialog;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Escape:
            event->accept();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (auto* button = qobject_cast<QAbstractButton*>(focusWidget())) {
                button->click();
                event->accept();
                return;
            }
            QWidget::keyPressEvent(event);
            return;
        default:
            QDialog::keyPressEvent(event);
        }
    }
};

void centreOnScreen(QWidget& w)
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        w.move(screen->availableGeometry().center() - w.rect().center());
}

QString& hostTitleSetting()
{
    static QString title;
    return title;
}

} // namespace

void setHostTitle(const QString& title) { hostTitleSetting() = title; }

QString hostTitle()
{
    const QString& title = hostTitleSetting();
    return title.isEmpty() ? QCoreApplication::applicationName() : title;
}

void testing::setModalHandler(ModalHandler h) { modalHandler() = std::move(h); }

Form::Form(QString name) : name_(std::move(name)) {}

Form::~Form() { delete window_.data(); }

void Form::load()
{
    if (window_) return;
    const WindowStyle s = style();
    auto* w = new Window;
    w->setObjectName(name_);
    w->setWindowTitle(s.caption);
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if (s.titleBar) flags |= Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint;
    w->setWindowFlags(flags);
    w->setFixedSize(twipsToPixels(s.clientWidth), twipsToPixels(s.clientHeight));
    QFont font = w->font();
    font.setFamily(QString::fromLatin1(windowFontFamily));
    font.setPointSizeF(windowFontPoints);
    w->setFont(font);
    window_ = w;
    createControls(*w);
    Form_Load();
}

void Form::showModal()
{
    load();
    if (!window_) return;
    const QPointer<QDialog> shown = window_;
    centreOnScreen(*window_);
    bool handled = false;
    if (modalHandler()) {
        window_->show();
        handled = modalHandler()(*this);
    }
    if (!handled && window_) {
        modal_ = true;
        window_->exec();
        modal_ = false;
    }
    unload();
    // Out of its loop, the window is deleted now; what else the application
    // queued for deletion is the application's to delete.
    delete shown.data();
}

void Form::unload()
{
    if (!window_) return;
    QDialog* w = window_;
    window_ = nullptr;
    // Inside a modal loop, or inside a handler of one of its own controls, the
    // window must outlive the current event: end the loop, delete it after.
    if (modal_) w->done(0);
    w->hide();
    w->deleteLater();
}

} // namespace forms
