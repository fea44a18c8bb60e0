#pragma once

// The GDAL formats the hosts over files answer the contract on, and where
// each format differs from the contract's defaults.

#include "HostContract.h"

#include <map>
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

// The hosts' own type codes from 100 on, tried too and kept unless
// `differences` says otherwise.
std::map<std::int32_t, TypeOutcome> ownCodes(std::map<std::int32_t, TypeOutcome> differences = {});

// GeoPackage, shapefile (Latin-1 and UTF-8) and FileGDB.
const std::vector<GdalFormat>& gdalFormats();

} // namespace conformance
