#pragma once

#include "forms/Form.h"
#include "forms/MessageBox.h"

#include <deque>
#include <functional>
#include <ostream>
#include <vector>

// Failure messages show texts, not code units.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

class QComboBox;
class QListWidget;

namespace testsupport {

// The texts a drop-down or a list shows, in order.
QStringList entries(const QComboBox& box);
QStringList entries(const QListWidget& list);

// Stands in for the person at the screen: records every message box and
// answers it (queued answers first, then the box's default), and hands every
// modal window to `onModal` (by default it is closed at once).
class Ui {
public:
    Ui();
    ~Ui();
    Ui(const Ui&) = delete;
    Ui& operator=(const Ui&) = delete;

    std::vector<forms::MessageRecord> messages;
    std::deque<forms::Answer> answers;
    // Returns true when it dealt with the window, false to run it for real.
    std::function<bool(forms::Form&)> onModal;
    std::vector<QString> modalsShown;

    QStringList messageTexts() const;
};

} // namespace testsupport
