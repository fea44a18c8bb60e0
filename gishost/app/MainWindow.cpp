#include "gishost/app/MainWindow.h"

#include "gishost/app/AttributeTable.h"
#include "gishost/app/ConnectionDialog.h"
#include "gishost/app/LayerTree.h"
#include "gishost/app/Sources.h"
#include "gishost/model/DocumentLoader.h"
#include "forms/MessageBox.h"
#include "hostkit/CommandBars.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenuBar>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace gishost {

namespace {

const QString appName = QStringLiteral("gishost");
const QString readyText = QStringLiteral("Ready");
const QString openTitle = QStringLiteral("Open");
const QString openFolderTitle = QStringLiteral("Open Folder");
// How long a message stays before the status bar says "Ready" again.
constexpr int messageMs = 10000;

QStringList localPaths(const QMimeData* dropped)
{
    QStringList paths;
    if (dropped)
        for (const QUrl& url : dropped->urls())
            if (url.isLocalFile()) paths << QDir::cleanPath(url.toLocalFile());
    return paths;
}

} // namespace

MainWindow::MainWindow(ComPtr<Application> application)
    : application_(std::move(application)), tree_(new QTreeWidget), table_(new QTableView),
      rows_(new AttributeTableModel(table_)),
      reasons_([this](const std::string& why) { say(QString::fromStdString(why)); })
{
    setWindowTitle(appName);
    setAcceptDrops(true);
    askers = {[this](const QString& filter) { return QFileDialog::getOpenFileNames(this, openTitle, QString(), filter); },
              [this] { return QFileDialog::getExistingDirectory(this, openFolderTitle); },
              [this](const QString& connection) {
                  ConnectionDialog dialog(connection, this);
                  return dialog.exec() == QDialog::Accepted ? dialog.connection() : QString();
              }};
    buildFileMenu();
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& shown) {
        if (shown.isEmpty()) readyUnlessSaying();
    });
    auto* splitter = new QSplitter(this);
    splitter->addWidget(tree_);
    splitter->addWidget(table_);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({440, 660});
    setCentralWidget(splitter);
    tree_->setColumnCount(4);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Rows are read as they come into view: nothing may size itself to all of them.
    table_->setModel(rows_);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->setWordWrap(false);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    connect(tree_, &QTreeWidget::currentItemChanged, this, [this] { showChosenLayer(); });
    refresh();
    chooseFirstFeatureLayer();
    commandBars_ = std::make_unique<hostkit::CommandBars>(
        hostkit::CommandBars::Placement{[this](const QString& caption) { return newToolBar(caption); },
                                        // What the status bar says from here on is about this command.
                                        [this] {
                                            commandRunning_ = true;
                                            statusBar()->clearMessage();
                                        },
                                        [this](HResult clicked) { afterClick(clicked); }},
        ComPtr<runtime::IUnknown>(static_cast<host::IHostApplication*>(application_.get())));
    readyUnlessSaying();
    resize(1100, 700);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildFileMenu()
{
    fileMenu_ = menuBar()->addMenu(QStringLiteral("&File"));
    const auto add = [this](const QString& text, QKeySequence keys, auto run) {
        QAction* action = fileMenu_->addAction(text);
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, run);
    };
    add(QStringLiteral("&Open…"), QKeySequence::Open, [this] { open(askers.files(openFilter())); });
    add(QStringLiteral("Open &Folder…"), {}, [this] {
        if (const QString folder = askers.folder(); !folder.isEmpty()) open({folder});
    });
    add(QStringLiteral("Open &Database Connection…"), {}, [this] { openConnection({}); });
    recentMenu_ = fileMenu_->addMenu(QStringLiteral("Open &Recent"));
    fileMenu_->addSeparator();
    add(QStringLiteral("&Quit"), QKeySequence::Quit, [this] { close(); });
    // Built as the menu opens, never while one of its entries is being run.
    connect(fileMenu_, &QMenu::aboutToShow, this, [this] { fillRecentMenu(); });
    fillRecentMenu();
}

void MainWindow::fillRecentMenu()
{
    recentMenu_->clear();
    for (const QString& source : recentSources()) {
        QAction* action = recentMenu_->addAction(QString(source).replace(QLatin1Char('&'), QLatin1String("&&")));
        // Its password was not kept: the connection is asked for again.
        connect(action, &QAction::triggered, this,
                [this, source] { isConnection(source) ? openConnection(source) : open({source}); });
    }
    recentMenu_->setEnabled(!recentMenu_->isEmpty());
}

void MainWindow::openConnection(const QString& connection)
{
    if (const QString chosen = askers.connection(connection); !chosen.isEmpty()) open({chosen});
}

void MainWindow::open(const QStringList& sources)
{
    const auto& document = application_->document();
    if (sources.isEmpty() || !document) return;
    std::vector<std::string> problems;
    QStringList opened;
    int shown = -1;
    for (const QString& source : sources) {
        // A source open already is shown again, not opened twice.
        int at = mapOf(source);
        if (at < 0) {
            std::string problem;
            auto map = openMap(source.toStdString(), problem);
            if (!map) {
                problems.push_back(problem);
                continue;
            }
            at = static_cast<int>(document->maps().size());
            document->add(std::move(map));
        }
        opened << QString::fromStdString(document->maps()[static_cast<std::size_t>(at)]->dataset()->name());
        addRecentSource(source);
        shown = at;
    }
    if (shown >= 0) {
        refresh();
        chooseFirstFeatureLayer(shown);
        say(QStringLiteral("Opened %1").arg(opened.join(QLatin1String(", "))));
    }
    showProblems(problems);
}

int MainWindow::mapOf(const QString& source) const
{
    const auto& maps = application_->document()->maps();
    for (std::size_t i = 0; i < maps.size(); ++i)
        if (fileKey(QString::fromStdString(maps[i]->dataset()->path())) == fileKey(source)) return static_cast<int>(i);
    return -1;
}

void MainWindow::showProblems(const std::vector<std::string>& problems)
{
    if (problems.empty()) return;
    QStringList lines;
    for (const std::string& problem : problems) lines << QString::fromStdString(problem);
    forms::msgBox(this, lines.join(QLatin1Char('\r')), forms::MsgKind::Critical, appName);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event)
{
    if (!localPaths(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event)
{
    const QStringList paths = localPaths(event->mimeData());
    if (paths.isEmpty()) return;
    event->acceptProposedAction();
    // Opened once the drop is over: the program it came from is not kept waiting.
    QMetaObject::invokeMethod(this, [this, paths] { open(paths); }, Qt::QueuedConnection);
}

void MainWindow::say(const QString& text) { statusBar()->showMessage(text, messageMs); }

void MainWindow::readyUnlessSaying()
{
    if (!commandRunning_ && statusBar()->currentMessage().isEmpty()) statusBar()->showMessage(readyText);
}

QToolBar* MainWindow::newToolBar(const QString& caption)
{
    QToolBar* bar = addToolBar(caption);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return bar;
}

void MainWindow::afterClick(HResult clicked)
{
    commandRunning_ = false;
    if (runtime::failed(clicked))
        say(QString::fromUtf8(hostkit::commandFailedText));
    else
        readyUnlessSaying();
    refresh();
}

// The layer shown before is chosen again, and its rows read afresh.
void MainWindow::refresh()
{
    const QTreeWidgetItem* chosen = tree_->currentItem();
    const QVariant layer = chosen ? chosen->data(0, layerNameRole) : QVariant();
    const int map = chosen && chosen->parent() ? tree_->indexOfTopLevelItem(chosen->parent()) : -1;
    if (const auto& document = application_->document()) fillLayerTree(*tree_, *document);
    tree_->expandAll();
    if (QTreeWidgetItem* mapItem = tree_->topLevelItem(map); mapItem && layer.isValid())
        for (int i = 0; i < mapItem->childCount(); ++i)
            if (mapItem->child(i)->data(0, layerNameRole) == layer) tree_->setCurrentItem(mapItem->child(i));
}

void MainWindow::chooseFirstFeatureLayer(int fromMap)
{
    QTreeWidgetItem* start = tree_->topLevelItem(fromMap);
    if (!start) return;
    for (QTreeWidgetItemIterator it(start); *it; ++it)
        if ((*it)->data(0, layerNameRole).isValid()) {
            tree_->setCurrentItem(*it);
            return;
        }
}

void MainWindow::showChosenLayer()
{
    const QTreeWidgetItem* item = tree_->currentItem();
    const QVariant layer = item ? item->data(0, layerNameRole) : QVariant();
    const auto& document = application_->document();
    const int map = layer.isValid() ? tree_->indexOfTopLevelItem(item->parent()) : -1;
    if (map < 0 || !document || static_cast<std::size_t>(map) >= document->maps().size()) {
        rows_->close();
        return;
    }
    rows_->open(document->maps()[static_cast<std::size_t>(map)]->dataset()->path(), layer.toString().toStdString());
    if (!rows_->problem().isEmpty()) say(rows_->problem());
}

} // namespace gishost
