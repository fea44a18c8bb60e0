#pragma once

// The small sample document gishost opens when it is given no dataset: a
// GeoPackage with point, line and polygon layers, a shapefile, a FileGDB
// and a GeoTIFF, with fields of every mapped type, aliases, defaults, nulls
// and not-null fields. Tests write the same data into their own folders.

#include <filesystem>
#include <string>
#include <vector>

namespace gishost::sample {

// Each writer replaces what is there and returns the dataset's path; it
// throws std::runtime_error when GDAL fails.
std::string writeGeoPackage(const std::filesystem::path& folder);
std::string writeShapefile(const std::filesystem::path& folder);
std::string writeFileGdb(const std::filesystem::path& folder);
std::string writeGeoTiff(const std::filesystem::path& folder);

// All four, in the order gishost opens them.
std::vector<std::string> writeAll(const std::filesystem::path& folder);
// Where writeAll puts them.
std::vector<std::string> samplePaths(const std::filesystem::path& folder);

} // namespace gishost::sample
