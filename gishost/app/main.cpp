// gishost [--lock-timeout SECONDS] [DATASET ...] | --register MODULE | --unregister MODULE

#include "hostkit/CommandBars.h"
#include "gishost/app/MainWindow.h"
#include "gishost/model/DocumentLoader.h"
#include "hostkit/HostClasses.h"
#include "hostkit/ModuleRegistration.h"
#include "forms/Form.h"
#include "hostkit/RunningApplications.h"
#include "gishost/sample/SampleData.h"
#include "runtime/Creation.h"
#include "engine/core/Settings.h"

#include <gdal_priv.h>

#include <QApplication>
#include <QTimer>

#include <cmath>
#include <filesystem>
#include <iostream>

namespace {

constexpr char usage[] = "usage: gishost [--lock-timeout SECONDS] [DATASET ...]\n"
                        "       gishost --register MODULE | --unregister MODULE\n";

// Takes the options out of the arguments; false when one is malformed.
bool readOptions(const QStringList& args, std::vector<std::string>& paths)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] != QStringLiteral("--lock-timeout")) {
            paths.push_back(args[i].toStdString());
            continue;
        }
        bool number = false;
        const double seconds = i + 1 < args.size() ? args[i + 1].toDouble(&number) : 0;
        if (!number || seconds < 0 || seconds > 3600) return false;
        engine::setLockTimeout(std::chrono::milliseconds(std::llround(seconds * 1000)));
        ++i;
    }
    return true;
}

int runHost(QApplication& app)
{
    std::vector<std::string> paths;
    if (!readOptions(app.arguments().mid(1), paths)) {
        std::cerr << usage;
        return 2;
    }
    // The sample document where this program was built; an installed copy
    // starts empty, and File > Open brings the user's data.
    if (paths.empty() && std::filesystem::exists(GISHOST_SAMPLE_DIR))
        paths = gishost::sample::samplePaths(GISHOST_SAMPLE_DIR);
    const hostkit::HostClasses hostClasses;
    gishost::LoadedDocument loaded = gishost::loadDocument(paths);
    const auto application = runtime::make<gishost::Application>(loaded.document);
    std::vector<std::string> problems = loaded.problems;
    int result = 0;
    {
        const hostkit::RunningEntry running(runtime::ComPtr<host::IHostApplication>(application.get()));
        for (const std::string& p : application->extensions().startAll()) problems.push_back(p);
        gishost::MainWindow window(application);
        for (const std::string& p : window.commandBars().problems()) problems.push_back(p);
        window.show();
        QTimer::singleShot(0, &window, [&] { window.showProblems(problems); });
        result = app.exec();
        application->extensions().shutdownAll();
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    GDALAllRegister();
    if (const auto status = hostkit::registrationCommand({argv + 1, argv + argc}, "gishost")) return *status;
    QApplication app(argc, argv);
    forms::setHostTitle(QStringLiteral("the gishost GIS desktop 1.0"));
    const int result = runHost(app);
    runtime::freeUnusedLibraries();
    return result;
}
