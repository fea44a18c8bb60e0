#include "gishost/app/MainWindow.h"

#include "hostkit/CommandBars.h"
#include "gishost/app/LayerTree.h"

#include <QHeaderView>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

namespace gishost {

MainWindow::MainWindow(ComPtr<Application> application)
    : application_(std::move(application)),
      tree_(new QTreeWidget(this)),
      reasons_([this](const std::string& why) { statusBar()->showMessage(QString::fromStdString(why)); })
{
    setWindowTitle(QStringLiteral("gishost"));
    setCentralWidget(tree_);
    tree_->setColumnCount(4);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    refresh();
    commandBars_ = std::make_unique<hostkit::CommandBars>(
        hostkit::CommandBars::Placement{[this](const QString& caption) { return newToolBar(caption); },
                                        // What the status bar says from here on is about this command.
                                        [this] { statusBar()->clearMessage(); },
                                        [this](HResult clicked) { afterClick(clicked); }},
        ComPtr<runtime::IUnknown>(static_cast<host::IHostApplication*>(application_.get())));
    statusBar()->showMessage(QStringLiteral("Ready"));
    resize(900, 640);
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

void MainWindow::refresh()
{
    if (const auto& document = application_->document()) fillLayerTree(*tree_, *document);
    tree_->expandAll();
}

} // namespace gishost
