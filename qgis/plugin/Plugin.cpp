#include "qgis/plugin/Plugin.h"

#include "qgis/model/Application.h"
#include "qgis/processing/Provider.h"
#include "engine/core/Log.h"
#include "forms/Form.h"
#include "hostkit/CommandBars.h"
#include "hostkit/HostClasses.h"
#include "hostkit/RunningApplications.h"
#include "runtime/Creation.h"

#include <qgisinterface.h>
#include <qgsapplication.h>
#include <qgsprocessingregistry.h>
#include <qgsmessagebar.h>
#include <qgsproject.h>

#include <QAction>
#include <QToolBar>

namespace qgishost {

namespace {

void showOnMessageBar(QgisInterface& iface, const QString& text, Qgis::MessageLevel level)
{
    if (QgsMessageBar* bar = iface.messageBar()) bar->pushMessage(about::name, text, level);
}

} // namespace

// Everything that lives from initGui to unload, in the order it is made.
struct Plugin::Session {
    explicit Session(QgisInterface& iface)
        : reasons([&iface](const std::string& why) {
              showOnMessageBar(iface, QString::fromStdString(why), Qgis::Warning);
          }),
          application(makeApplication(*QgsProject::instance())),
          running(runtime::ComPtr<host::IHostApplication>(application.get()))
    {
    }

    engine::ReasonListener reasons;
    hostkit::HostClasses classes;
    runtime::ComPtr<Application> application;
    hostkit::RunningEntry running;
    std::unique_ptr<hostkit::CommandBars> bars;
    // QGIS's registry owns it while it is registered.
    processing::Provider* algorithms = nullptr;
};

Plugin::Plugin(QgisInterface* iface)
    : QgisPlugin(about::name, about::description, about::category, about::version, QgisPlugin::UI), iface_(iface)
{
}

Plugin::~Plugin() { unload(); }

void Plugin::initGui()
{
    if (session_ || !iface_) return;
    const int release = Qgis::versionInt();
    forms::setHostTitle(QStringLiteral("QGIS %1.%2.%3").arg(release / 10000).arg(release / 100 % 100).arg(release % 100));
    session_ = std::make_unique<Session>(*iface_);
    std::vector<std::string> problems = session_->application->extensions().startAll();
    QgisInterface& iface = *iface_;
    session_->bars = std::make_unique<hostkit::CommandBars>(
        hostkit::CommandBars::Placement{
            [&iface](const QString& caption) { return iface.addToolBar(caption); }, nullptr,
            [&iface](runtime::HResult clicked) {
                if (runtime::failed(clicked))
                    showOnMessageBar(iface, QString::fromUtf8(hostkit::commandFailedText), Qgis::Critical);
            }},
        runtime::ComPtr<runtime::IUnknown>(static_cast<host::IHostApplication*>(session_->application.get())));
    for (const auto& button : session_->bars->buttons()) iface.addPluginToVectorMenu(button.toolBar, button.action);
    for (const std::string& p : session_->bars->problems()) problems.push_back(p);
    for (const std::string& p : problems) showOnMessageBar(iface, QString::fromStdString(p), Qgis::Critical);
    if (QgsProcessingRegistry* registry = QgsApplication::processingRegistry()) {
        auto* algorithms = new processing::Provider;
        if (registry->addProvider(algorithms)) session_->algorithms = algorithms;
    }
}

void Plugin::unload()
{
    if (!session_) return;
    if (session_->algorithms)
        if (QgsProcessingRegistry* registry = QgsApplication::processingRegistry())
            registry->removeProvider(session_->algorithms);
    if (session_->bars)
        for (const auto& button : session_->bars->buttons())
            if (button.action) iface_->removePluginVectorMenu(button.toolBar, button.action);
    // The commands go with their buttons, before the application they hold.
    session_->bars.reset();
    session_->application->extensions().shutdownAll();
    session_.reset();
    runtime::freeUnusedLibraries();
}

const hostkit::CommandBars* Plugin::commandBars() const noexcept { return session_ ? session_->bars.get() : nullptr; }

} // namespace qgishost
