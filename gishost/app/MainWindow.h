#pragma once

#include "gishost/model/Application.h"

#include <QMainWindow>

#include <memory>

class QTableView;
class QTreeWidget;

namespace gishost {

class AttributeTableModel;
class CommandBars;

// gishost's main window: the document's maps, layers and fields in a tree,
// the chosen layer's rows beside it, and the add-ins' toolbars above.
class MainWindow : public QMainWindow {
public:
    explicit MainWindow(ComPtr<Application> application);
    ~MainWindow() override;

    CommandBars& commandBars() noexcept { return *commandBars_; }
    QTreeWidget& tree() noexcept { return *tree_; }
    QTableView& table() noexcept { return *table_; }
    AttributeTableModel& rows() noexcept { return *rows_; }
    // Reads the document again, after a command may have changed it.
    void refresh();

private:
    void chooseFirstFeatureLayer();
    void showChosenLayer();

    ComPtr<Application> application_;
    QTreeWidget* tree_;
    QTableView* table_;
    AttributeTableModel* rows_;
    std::unique_ptr<CommandBars> commandBars_;
};

} // namespace gishost
