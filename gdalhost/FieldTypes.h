#pragma once

// The host's field type codes and the OGR types and subtypes they stand for.

#include "engine/core/FieldTypes.h"

#include <cstdint>
#include <optional>
#include <string>

class OGRFieldDefn;

namespace engine {
struct Field;
}

namespace gdalhost {

std::int32_t typeCodeOf(const OGRFieldDefn& field);
// A column of a database's own type (engine::Field::databaseType) gets a
// code of its own from 1000 on, for the life of the process, so that a
// field added from another field's definition gets the very same type.
std::int32_t typeCodeOf(const engine::Field& field);
// None for codes that name no attribute type (object id, geometry, unknown);
// a database type's code gives the OGR type GDAL reads its values as.
std::optional<engine::OgrFieldType> ogrTypeOf(std::int32_t code);
// The name a person reads in the layer tree.
const char* typeName(std::int32_t code);
// The database's name of the type behind a code typeCodeOf() handed out;
// none for the other codes.
std::optional<std::string> databaseTypeName(std::int32_t code);

} // namespace gdalhost
