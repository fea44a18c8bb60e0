#pragma once

// gishost's sample document as a QGIS project: the GeoPackage's layers in a
// group, the shapefile, the FileGDB's layers in another group, the GeoTIFF.

#include <string>
#include <vector>

class QgsProject;

namespace qgishost::sample {

// Fills `project` with the layers of the sample data gishost's writeAll
// wrote at `paths`; throws std::runtime_error when a layer cannot be read.
void fillProject(QgsProject& project, const std::vector<std::string>& paths);

} // namespace qgishost::sample
