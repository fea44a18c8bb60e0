#include "gishost/app/MainWindow.h"

#include "gishost/app/AttributeTable.h"
#include "gishost/app/LayerTree.h"
#include "hostkit/CommandBars.h"

#include <QHeaderView>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

namespace gishost {

MainWindow::MainWindow(ComPtr<Application> application)
    : application_(std::move(application)), tree_(new QTreeWidget), table_(new QTableView),
      rows_(new AttributeTableModel(table_)),
      reasons_([this](const std::string& why) { statusBar()->showMessage(QString::fromStdString(why)); })
{
    setWindowTitle(QStringLiteral("gishost"));
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
                                        [this] { statusBar()->clearMessage(); },
                                        [this](HResult clicked) { afterClick(clicked); }},
        ComPtr<runtime::IUnknown>(static_cast<host::IHostApplication*>(application_.get())));
    statusBar()->showMessage(QStringLiteral("Ready"));
    resize(1100, 700);
}

MainWindow::~MainWindow() = default;

QToolBar* MainWindow::newToolBar(const QString& caption)
{
    QToolBar* bar = addToolBar(caption);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return bar;
}

void MainWindow::afterClick(HResult clicked)
{
    if (runtime::failed(clicked)) statusBar()->showMessage(QString::fromUtf8(hostkit::commandFailedText), 10000);
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

void MainWindow::chooseFirstFeatureLayer()
{
    for (QTreeWidgetItemIterator it(tree_); *it; ++it)
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
    if (!rows_->problem().isEmpty()) statusBar()->showMessage(rows_->problem());
}

} // namespace gishost
