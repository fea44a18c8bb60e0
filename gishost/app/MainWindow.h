#pragma once

#include "engine/core/Log.h"
#include "gishost/model/Application.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMenu;
class QTableView;
class QTreeWidget;

namespace hostkit {
class CommandBars;
}

namespace gishost {

class AttributeTableModel;

// gishost's main window: the document's maps, layers and fields in a tree,
// the chosen layer's rows beside it, the add-ins' toolbars above, a File
// menu that adds datasets to the document (files dropped on the window too),
// and in the status bar the latest reason the data engine gave for refusing
// a change, "Ready" when there is nothing to say.
class MainWindow : public QMainWindow {
public:
    explicit MainWindow(ComPtr<Application> application);
    ~MainWindow() override;

    // How the File menu asks the person at the screen; each answers empty
    // when cancelled.
    struct Askers {
        // Files to open, offered `filter`.
        std::function<QStringList(const QString& filter)> files;
        std::function<QString()> folder;
        // A connection, its password included, starting from `connection`.
        std::function<QString(const QString& connection)> connection;
    };
    Askers askers;

    hostkit::CommandBars& commandBars() noexcept { return *commandBars_; }
    QTreeWidget& tree() noexcept { return *tree_; }
    QTableView& table() noexcept { return *table_; }
    QMenu& fileMenu() noexcept { return *fileMenu_; }
    QMenu& recentMenu() noexcept { return *recentMenu_; }
    // Reads the document again, after a command may have changed it.
    void refresh();
    // Adds each source to the document as a map and shows it (one open
    // already is shown again); those that cannot be opened are named in one
    // message and change nothing.
    void open(const QStringList& sources);
    // Names the paths that could not be opened, in one message box.
    void showProblems(const std::vector<std::string>& problems);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildFileMenu();
    void fillRecentMenu();
    void openConnection(const QString& connection);
    // The map showing `source` (a file known by its real path), or -1.
    int mapOf(const QString& source) const;
    QToolBar* newToolBar(const QString& caption);
    void say(const QString& text);
    void readyUnlessSaying();
    void afterClick(HResult clicked);
    void chooseFirstFeatureLayer(int fromMap = 0);
    void showChosenLayer();

    ComPtr<Application> application_;
    QTreeWidget* tree_;
    QTableView* table_;
    AttributeTableModel* rows_;
    QMenu* fileMenu_;
    QMenu* recentMenu_;
    // While a command runs, an empty status bar stays empty.
    bool commandRunning_ = false;
    std::unique_ptr<hostkit::CommandBars> commandBars_;
    engine::ReasonListener reasons_;
};

} // namespace gishost
