// gishost [DATASET ...] | --register MODULE | --unregister MODULE

#include "gishost/app/CommandBars.h"
#include "gishost/app/MainWindow.h"
#include "gishost/model/DocumentLoader.h"
#include "gishost/model/HostClasses.h"
#include "gishost/model/ModuleRegistration.h"
#include "gishost/model/RunningApplications.h"
#include "gishost/sample/SampleData.h"
#include "forms/MessageBox.h"
#include "runtime/Creation.h"

#include <gdal_priv.h>

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <iostream>

namespace {

int registration(const char* option, const std::string& modulePath)
{
    std::vector<std::string> report;
    const bool add = std::string(option) == "--register";
    const runtime::HResult hr =
        add ? gishost::registerModule(modulePath, report) : gishost::unregisterModule(modulePath, report);
    for (const std::string& line : report) std::cout << line << '\n';
    if (runtime::failed(hr)) {
        std::fprintf(stderr, "gishost: %s %s failed (0x%08X)\n", option, modulePath.c_str(),
                     static_cast<unsigned>(hr));
        return 1;
    }
    std::cout << modulePath << (add ? ": registered" : ": unregistered") << '\n';
    return 0;
}

QString joined(const std::vector<std::string>& lines)
{
    QStringList out;
    for (const std::string& line : lines) out << QString::fromStdString(line);
    return out.join(QLatin1Char('\r'));
}

int runHost(QApplication& app)
{
    std::vector<std::string> paths;
    for (const QString& arg : app.arguments().mid(1)) paths.push_back(arg.toStdString());
    if (paths.empty()) paths = gishost::sample::samplePaths(GISHOST_SAMPLE_DIR);
    const gishost::HostClasses hostClasses;
    gishost::LoadedDocument loaded = gishost::loadDocument(paths);
    const auto application = runtime::make<gishost::Application>(loaded.document);
    std::vector<std::string> problems = loaded.problems;
    int result = 0;
    {
        const gishost::RunningEntry running(runtime::ComPtr<host::IHostApplication>(application.get()));
        for (const std::string& p : application->extensions().startAll()) problems.push_back(p);
        gishost::MainWindow window(application);
        for (const std::string& p : window.commandBars().problems()) problems.push_back(p);
        window.show();
        if (!problems.empty())
            QTimer::singleShot(0, &window, [&] {
                forms::msgBox(&window, joined(problems), forms::MsgKind::Critical, QStringLiteral("gishost"));
            });
        result = app.exec();
        application->extensions().shutdownAll();
    }
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    GDALAllRegister();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && (args[0] == "--register" || args[0] == "--unregister")) {
        if (args.size() != 2) {
            std::cerr << "usage: gishost --register MODULE | --unregister MODULE\n";
            return 2;
        }
        return registration(argv[1], args[1]);
    }
    QApplication app(argc, argv);
    const int result = runHost(app);
    runtime::freeUnusedLibraries();
    return result;
}
