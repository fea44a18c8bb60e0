#include "forms/MessageBox.h"

#include <QMessageBox>

namespace forms {

namespace {
testing::MessageHandler& handler()
{
    static testing::MessageHandler h;
    return h;
}
} // namespace

void testing::setMessageHandler(MessageHandler h) { handler() = std::move(h); }

Answer defaultAnswer(MsgKind kind) { return kind == MsgKind::Question ? Answer::No : Answer::Ok; }

Answer msgBox(QWidget* owner, const QString& text, MsgKind kind, const QString& title)
{
    if (handler()) return handler()(MessageRecord{title, text, kind, owner});

    QMessageBox box(owner);
    box.setWindowTitle(title);
    // Plain text: field names may hold '<'. The lone carriage returns become
    // the line breaks they stand for.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString(text).replace(QChar('\r'), QChar('\n')));
    switch (kind) {
    case MsgKind::Critical:
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgKind::Information:
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgKind::Question:
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    }
    const int pressed = box.exec();
    if (kind != MsgKind::Question) return Answer::Ok;
    return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

} // namespace forms
