#pragma once

// The GDAL formats the hosts over files answer the contract on, and where
// each format differs from the contract's defaults.

#include "HostContract.h"

#include <string>
#include <vector>

namespace conformance {

struct GdalFormat {
    std::string name;
    std::string driver;
    std::string file;
    std::vector<std::string> layerOptions;
    Profile profile;
};

// GeoPackage, shapefile (Latin-1 and UTF-8) and FileGDB.
const std::vector<GdalFormat>& gdalFormats();

} // namespace conformance
