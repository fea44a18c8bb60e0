#include "Ui.h"

#include <QStringList>

namespace testsupport {

Ui::Ui()
{
    forms::testing::setMessageHandler([this](const forms::MessageRecord& m) {
        messages.push_back(m);
        if (answers.empty()) return forms::defaultAnswer(m.kind);
        const forms::Answer a = answers.front();
        answers.pop_front();
        return a;
    });
    forms::testing::setModalHandler([this](forms::Form& form) {
        modalsShown.push_back(form.name());
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
