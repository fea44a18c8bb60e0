#pragma once

#include "engine/Log.h"
#include "gishost/model/Application.h"

#include <QMainWindow>

#include <memory>

class QTableView;
class QTreeWidget;

namespace hostkit {
class CommandBars;
}

namespace gishost {

class AttributeTableModel;

// gishost's main window: the document's maps, layers and fields in a tree,
// the chosen layer's rows beside it, the add-ins' toolbars above, and in the
// status bar the latest reason the data engine gave for refusing a change.
class MainWindow : public QMainWindow {
public:
    explicit MainWindow(ComPtr<Application> application);
    ~MainWindow() override;

    hostkit::CommandBars& commandBars() noexcept { return *commandBars_; }
    QTreeWidget& tree() noexcept { return *tree_; }
    QTableView& table() noexcept { return *table_; }
    // Reads the document again, after a command may have changed it.
    void refresh();

private:
    QToolBar* newToolBar(const QString& caption);
    void afterClick(HResult clicked);
    void chooseFirstFeatureLayer();
    void showChosenLayer();

    ComPtr<Application> application_;
    QTreeWidget* tree_;
    QTableView* table_;
    AttributeTableModel* rows_;
    std::unique_ptr<hostkit::CommandBars> commandBars_;
    engine::ReasonListener reasons_;
};

} // namespace gishost
