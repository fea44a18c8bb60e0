#include "engine/core/FieldTypes.h"

#include <ogr_feature.h>

#include <algorithm>
#include <iterator>

namespace engine {

namespace {

struct NamedType {
    OgrFieldType type;
    const char* name;
};

constexpr NamedType names[] = {
    {{OFTInteger, OFSTInt16}, "Short integer"},
    {{OFTInteger, OFSTNone}, "Long integer"},
    {{OFTReal, OFSTFloat32}, "Float"},
    {{OFTReal, OFSTNone}, "Double"},
    {{OFTString, OFSTNone}, "Text"},
    {{OFTDateTime, OFSTNone}, "Date"},
    {{OFTBinary, OFSTNone}, "Blob"},
    {{OFTInteger, OFSTBoolean}, "Boolean"},
    {{OFTInteger64, OFSTNone}, "Big integer"},
    {{OFTDate, OFSTNone}, "Date only"},
    {{OFTTime, OFSTNone}, "Time only"},
    {{OFTString, OFSTJSON}, "JSON text"},
    {{OFTString, OFSTUUID}, "UUID text"},
    {{OFTIntegerList, OFSTNone}, "Integer list"},
    {{OFTInteger64List, OFSTNone}, "Big integer list"},
    {{OFTRealList, OFSTNone}, "Double list"},
    {{OFTStringList, OFSTNone}, "Text list"},
};

const char* findName(OgrFieldType type)
{
    const auto it = std::find_if(std::begin(names), std::end(names), [&](const NamedType& n) { return n.type == type; });
    return it == std::end(names) ? nullptr : it->name;
}

OGRFieldType plainType(OGRFieldType type)
{
    if (type == OFTWideString) return OFTString;
    if (type == OFTWideStringList) return OFTStringList;
    return type;
}

} // namespace

OgrFieldType ogrTypeOf(const OGRFieldDefn& field)
{
    const OgrFieldType exact{plainType(field.GetType()), field.GetSubType()};
    if (findName(exact)) return exact;
    if (findName({exact.type, OFSTNone})) return {exact.type, OFSTNone};
    return {OFTString, OFSTNone};
}

const char* typeName(OgrFieldType type)
{
    const char* name = findName(type);
    return name ? name : "Text";
}

const char* typeName(const OGRFieldDefn& field) { return typeName(ogrTypeOf(field)); }

bool isNumeric(OGRFieldType type) { return type == OFTInteger || type == OFTInteger64 || type == OFTReal; }

} // namespace engine
