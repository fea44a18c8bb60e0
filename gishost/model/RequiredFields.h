#pragma once

#include <set>
#include <string>

class OGRLayer;

namespace gishost {

// Attribute fields that the data source keeps itself and the user may not
// change: a FileGDB's shape length and area.
std::set<std::string> requiredFieldNames(OGRLayer& layer);

} // namespace gishost
