#pragma once

// Why the data engine refused or could not make a change, in words for the
// person at the screen: every reason goes to the log (standard error), and
// each host shows it where its user looks (a status bar, a message bar).

#include <functional>
#include <string>

namespace engine {

void explain(const std::string& why);

// Hears every reason given while it lives.
class ReasonListener {
public:
    explicit ReasonListener(std::function<void(const std::string&)> hear);
    ~ReasonListener();
    ReasonListener(const ReasonListener&) = delete;
    ReasonListener& operator=(const ReasonListener&) = delete;

private:
    std::function<void(const std::string&)> hear_;
};

} // namespace engine
