#pragma once

#include <functional>

namespace qgishost {

// Runs `work` inside QGIS's own application object, on Qt's offscreen
// platform unless another is asked for, with a profile in a temporary
// folder and GDAL's drivers registered; `gui` as QgsApplication takes it.
int runInQgis(int& argc, char** argv, bool gui, const std::function<int()>& work);

} // namespace qgishost
