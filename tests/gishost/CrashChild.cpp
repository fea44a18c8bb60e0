// crash_child DATASET LAYER FROM TO: renames a field through the add-in's
// dialog on gishost, printing each progress report of the engine ("step
// done total") on a line of its own, so that a test can kill it at a known
// point; "done" once the dialog says the field was renamed.

#include "GisTestSupport.h"

#include "dialog/Messages.h"
#include "engine/core/Progress.h"

#include <gdal_priv.h>

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: crash_child DATASET LAYER FROM TO\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    GDALAllRegister();
    const engine::ProgressListener progress([](const std::string& step, std::uint64_t done, std::uint64_t total) {
        std::printf("%s %llu %llu\n", step.c_str(), static_cast<unsigned long long>(done),
                    static_cast<unsigned long long>(total));
        std::fflush(stdout);
    });
    const gistest::Host host({argv[1]});
    gistest::Dialog dialog;
    dialog.rename(argv[2], {argv[3], argv[4]});
    if (gistest::messages(dialog.ui) != std::vector<std::string>{quillet::text::renamed.toStdString()}) return 1;
    std::printf("done\n");
    return 0;
}
