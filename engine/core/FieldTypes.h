#pragma once

// OGR's field types and subtypes as the engine tells them apart, with the
// name a person reads for each.

#include <ogr_core.h>

class OGRFieldDefn;

namespace engine {

struct OgrFieldType {
    OGRFieldType type;
    OGRFieldSubType subType;

    bool operator==(const OgrFieldType&) const = default;
};

// The named type a field is of, which a field added from its definition
// gets: its type and subtype where a name is kept for them, else its type
// alone, else text (the deprecated wide strings read as plain ones).
OgrFieldType ogrTypeOf(const OGRFieldDefn& field);
// "Long integer", "Text", ...; a type ogrTypeOf() gives.
const char* typeName(OgrFieldType type);
const char* typeName(const OGRFieldDefn& field);
bool isNumeric(OGRFieldType type);

} // namespace engine
