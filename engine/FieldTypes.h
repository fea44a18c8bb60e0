#pragma once

// The host's field type codes and the OGR types and subtypes they stand for.

#include <ogr_core.h>

#include <cstdint>
#include <optional>
#include <string>

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

// A column type of a database that no code above names exactly (timestamp
// without time zone, numeric without precision, jsonb, an enum type, ...)
// gets a code of its own from 1000 on, for the life of the process, so that
// a field added from another field's definition gets the very same type.
// `like` is the code of the OGR type GDAL reads such a column as, which is
// what ogrTypeOf() gives for it.
struct DatabaseType {
    std::string name;
    std::int32_t like;
};
std::int32_t databaseTypeCode(const DatabaseType& type);
std::optional<DatabaseType> databaseType(std::int32_t code);

} // namespace engine
