#pragma once

#include "hostkit/HostObject.h"
#include "host/AddinInterfaces.h"

#include <QString>

#include <functional>
#include <set>
#include <string>
#include <vector>

class QAction;
class QMainWindow;
class QToolBar;

namespace hostkit {

// The host's toolbars: one for each toolbar definition in the toolbar
// category, and one more for registered commands that no toolbar places.
// Each button is a command created for this host and handed `hook` once.
class CommandBars {
public:
    // `afterClick` runs each time a command's OnClick has returned.
    CommandBars(QMainWindow& window, ComPtr<runtime::IUnknown> hook, std::function<void()> afterClick);
    ~CommandBars();
    CommandBars(const CommandBars&) = delete;
    CommandBars& operator=(const CommandBars&) = delete;

    const std::vector<QToolBar*>& toolBars() const noexcept { return toolBars_; }
    // A sentence for each definition or command that could not be used.
    const std::vector<std::string>& problems() const noexcept { return problems_; }
    // Reads each command's caption, tooltip, bitmap and state again.
    void refreshButtons();

private:
    struct Button {
        ComPtr<host::ICommand> command;
        QAction* action;
    };

    QToolBar* newToolBar(const QString& caption);
    void addToolBar(const Guid& clsid);
    void addLooseCommands();
    void addCommand(QToolBar& bar, const Guid& clsid, const QString& name);
    void click(std::size_t index);

    QMainWindow& window_;
    ComPtr<runtime::IUnknown> hook_;
    std::function<void()> afterClick_;
    std::vector<QToolBar*> toolBars_;
    std::vector<Button> buttons_;
    std::set<Guid> placed_;
    std::vector<std::string> problems_;
};

} // namespace hostkit
