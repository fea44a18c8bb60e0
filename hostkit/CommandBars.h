#pragma once

#include "hostkit/HostObject.h"
#include "host/AddinInterfaces.h"

#include <QPointer>
#include <QString>
#include <QToolBar>

#include <functional>
#include <set>
#include <string>
#include <vector>

class QAction;

namespace hostkit {

// What a host tells its user when a command's click failed.
inline constexpr char commandFailedText[] = "The command reported a failure.";

// A host's toolbars: one for each toolbar definition in the toolbar
// category, and one more for registered commands that no toolbar places.
// Each button is a command created for this host and handed `hook` once.
class CommandBars {
public:
    // Where the host puts a toolbar, what it does before a command's
    // OnClick runs, and once it has returned with its status.
    struct Placement {
        std::function<QToolBar*(const QString& caption)> newToolBar;
        std::function<void()> beforeClick;
        std::function<void(HResult clicked)> afterClick;
    };
    struct Button {
        ComPtr<host::ICommand> command;
        QPointer<QAction> action; // null once the host has deleted it
        QString toolBar; // the caption of the toolbar it is on
    };

    CommandBars(Placement placement, ComPtr<runtime::IUnknown> hook);
    // Deletes the toolbars and their buttons (those the host has not deleted
    // already), then releases the commands.
    ~CommandBars();
    CommandBars(const CommandBars&) = delete;
    CommandBars& operator=(const CommandBars&) = delete;

    const std::vector<QPointer<QToolBar>>& toolBars() const noexcept { return toolBars_; }
    const std::vector<Button>& buttons() const noexcept { return buttons_; }
    // A sentence for each definition or command that could not be used.
    const std::vector<std::string>& problems() const noexcept { return problems_; }
    // Reads each command's caption, tooltip, bitmap and state again.
    void refreshButtons();

private:
    QToolBar* newToolBar(const QString& caption);
    void addToolBar(const Guid& clsid);
    void addLooseCommands();
    void addCommand(QToolBar& bar, const Guid& clsid, const QString& name);
    void click(std::size_t index);

    Placement placement_;
    ComPtr<runtime::IUnknown> hook_;
    std::vector<QPointer<QToolBar>> toolBars_;
    std::vector<Button> buttons_;
    std::set<Guid> placed_;
    std::vector<std::string> problems_;
};

} // namespace hostkit
