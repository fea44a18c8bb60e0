#include "Ui.h"

#include <QComboBox>
#include <QListWidget>
#include <QStringList>

namespace testsupport {

QStringList entries(const QComboBox& box)
{
    QStringList out;
    for (int i = 0; i < box.count(); ++i) out << box.itemText(i);
    return out;
}

QStringList entries(const QListWidget& list)
{
    QStringList out;
    for (int i = 0; i < list.count(); ++i) out << list.item(i)->text();
    return out;
}

namespace {

// A text of its own: one that shares the add-in module's literal would
// point into the module once it is unloaded.
QString owned(const QString& text) { return QString(text.constData(), text.size()); }

} // namespace

Ui::Ui()
{
    forms::testing::setMessageHandler([this](const forms::MessageRecord& m) {
        messages.push_back({owned(m.title), owned(m.text), m.kind, m.owner});
        if (answers.empty()) return forms::defaultAnswer(m.kind);
        const forms::Answer a = answers.front();
        answers.pop_front();
        return a;
    });
    forms::testing::setModalHandler([this](forms::Form& form) {
        modalsShown.push_back(owned(form.name()));
        return onModal ? onModal(form) : true;
    });
}

Ui::~Ui()
{
    forms::testing::setMessageHandler({});
    forms::testing::setModalHandler({});
}

QStringList Ui::messageTexts() const
{
    QStringList texts;
    for (const auto& m : messages) texts << m.text;
    return texts;
}

} // namespace testsupport
