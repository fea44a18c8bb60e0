#pragma once

// The standard table as a GDAL dataset, for hosts over GDAL's formats:
// written before a case, read back past the host after it.

#include "HostContract.h"

#include <string>
#include <vector>

namespace conformance {

// Writes the standard table, with polygons of several shapes, as the layer
// `layer` of a new dataset at `path`. Throws std::runtime_error when GDAL fails.
void writeStandardTable(const std::string& path, const std::string& driver, const std::string& layer,
                        const std::vector<std::string>& layerOptions = {});

// The polygon of a row of the standard table, as WKT.
std::string standardShape(std::size_t row);

std::vector<Variant> readColumn(const std::string& path, const std::string& layer, const std::u16string& field);

// Takes write permission from every file of the dataset and gives it back.

} // namespace conformance
