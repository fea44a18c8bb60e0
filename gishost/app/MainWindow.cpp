#include "gishost/app/MainWindow.h"

#include "hostkit/CommandBars.h"
#include "gishost/app/LayerTree.h"

#include <QHeaderView>
#include <QStatusBar>
#include <QTreeWidget>

namespace gishost {

MainWindow::MainWindow(ComPtr<Application> application)
    : application_(std::move(application)), tree_(new QTreeWidget(this))
{
    setWindowTitle(QStringLiteral("gishost"));
    setCentralWidget(tree_);
    tree_->setColumnCount(4);
    tree_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    refresh();
    commandBars_ = std::make_unique<hostkit::CommandBars>(*this, ComPtr<runtime::IUnknown>(
                                                            static_cast<host::IHostApplication*>(application_.get())),
                                                 [this] { refresh(); });
    statusBar()->showMessage(QStringLiteral("Ready"));
    resize(900, 640);
}

MainWindow::~MainWindow() = default;

void MainWindow::refresh()
{
    if (const auto& document = application_->document()) fillLayerTree(*tree_, *document);
    tree_->expandAll();
}

} // namespace gishost
