#pragma once

// Why the data engine refused or could not make a change, in words for the
// person at the screen: every reason goes to the log (standard error), and
// each host shows it where its user looks (a status bar, a message bar).

#include "engine/core/Listeners.h"

#include <functional>
#include <string>

namespace engine {

void explain(const std::string& why);

// What the engine did on its own that a person may want to know (it undid a
// change a crash interrupted): to the log only.
void note(const std::string& what);

// Hears every reason given while it lives.
class ReasonListener {
public:
    explicit ReasonListener(std::function<void(const std::string&)> hear);

private:
    Listening<Listeners<const std::string&>> listening_;
};

} // namespace engine
