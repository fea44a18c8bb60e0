#pragma once

#include "engine/Log.h"
#include "gishost/model/Application.h"

#include <QMainWindow>

#include <memory>

class QTreeWidget;

namespace hostkit {
class CommandBars;
}

namespace gishost {

// gishost's main window: the document's maps, layers and fields in a tree,
// the add-ins' toolbars above it, and in the status bar the latest reason
// the data engine gave for refusing a change.
class MainWindow : public QMainWindow {
public:
    explicit MainWindow(ComPtr<Application> application);
    ~MainWindow() override;

    hostkit::CommandBars& commandBars() noexcept { return *commandBars_; }
    QTreeWidget& tree() noexcept { return *tree_; }
    // Reads the document again, after a command may have changed it.
    void refresh();

private:
    QToolBar* newToolBar(const QString& caption);
    void afterClick(HResult clicked);

    ComPtr<Application> application_;
    QTreeWidget* tree_;
    std::unique_ptr<hostkit::CommandBars> commandBars_;
    engine::ReasonListener reasons_;
};

} // namespace gishost
