#pragma once

// The host's field type codes and the OGR types and subtypes they stand for.

#include <ogr_core.h>

#include <cstdint>
#include <optional>

class OGRFieldDefn;

namespace engine {

struct OgrFieldType {
    OGRFieldType type;
    OGRFieldSubType subType;
};

std::int32_t typeCodeOf(const OGRFieldDefn& field);
// None for codes that name no attribute type (object id, geometry, unknown).
std::optional<OgrFieldType> ogrTypeOf(std::int32_t code);
// The name a person reads in the layer tree.
const char* typeName(std::int32_t code);
bool isNumeric(OGRFieldType type);

} // namespace engine
