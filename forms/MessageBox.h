#pragma once

#include "forms/Export.h"

#include <QString>

#include <functional>

class QWidget;

namespace forms {

// The three kinds of message box the add-in shows: critical with OK,
// information with OK, question with Yes and No (No the default).
enum class MsgKind { Critical, Information, Question };
enum class Answer { Ok, Yes, No };

struct MessageRecord {
    QString title;
    QString text;
    MsgKind kind;
    const QWidget* owner = nullptr;
};

// Shows a modal message box over the window it belongs to (`owner`; null
// for none). Lone carriage returns in `text` are kept; the box displays
// them as line breaks.
FORMS_EXPORT Answer msgBox(QWidget* owner, const QString& text, MsgKind kind, const QString& title);

// The button pressed when the user just confirms (OK, or No for questions).
FORMS_EXPORT Answer defaultAnswer(MsgKind kind);

namespace testing {
// While set, message boxes are answered by `handler` instead of a person.
using MessageHandler = std::function<Answer(const MessageRecord&)>;
FORMS_EXPORT void setMessageHandler(MessageHandler handler);
} // namespace testing

} // namespace forms
