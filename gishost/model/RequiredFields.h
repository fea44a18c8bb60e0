#pragma once

#include <set>
#include <string>

class OGRLayer;

namespace gishost {

// Attribute fields that the data source itself keeps (a FileGDB's shape
// length and area, for instance), as its layer definition marks them.
std::set<std::string> requiredFieldNames(OGRLayer& layer);

} // namespace gishost
