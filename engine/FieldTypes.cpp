#include "engine/FieldTypes.h"

#include "host/ObjectModel.h"

#include <ogr_feature.h>

#include <algorithm>
#include <deque>
#include <iterator>
#include <mutex>

namespace engine {

namespace {

struct TypeEntry {
    std::int32_t code;
    OGRFieldType type;
    OGRFieldSubType subType;
    const char* name;
};

// Codes 0 to 8 are the ones every host shares; OGR types they cannot hold
// without loss get codes of gishost's own from 100 on, so that a field
// copied by its definition keeps its exact type.
constexpr TypeEntry typeTable[] = {
    {host::fieldTypeSmallInteger, OFTInteger, OFSTInt16, "Short integer"},
    {host::fieldTypeInteger, OFTInteger, OFSTNone, "Long integer"},
    {host::fieldTypeSingle, OFTReal, OFSTFloat32, "Float"},
    {host::fieldTypeDouble, OFTReal, OFSTNone, "Double"},
    {host::fieldTypeString, OFTString, OFSTNone, "Text"},
    {host::fieldTypeDate, OFTDateTime, OFSTNone, "Date"},
    {host::fieldTypeBlob, OFTBinary, OFSTNone, "Blob"},
    {100, OFTInteger, OFSTBoolean, "Boolean"},
    {101, OFTInteger64, OFSTNone, "Big integer"},
    {102, OFTDate, OFSTNone, "Date only"},
    {103, OFTTime, OFSTNone, "Time only"},
    {104, OFTString, OFSTJSON, "JSON text"},
    {105, OFTString, OFSTUUID, "UUID text"},
    {106, OFTIntegerList, OFSTNone, "Integer list"},
    {107, OFTInteger64List, OFSTNone, "Big integer list"},
    {108, OFTRealList, OFSTNone, "Double list"},
    {109, OFTStringList, OFSTNone, "Text list"},
};

const TypeEntry* findEntry(OGRFieldType type, OGRFieldSubType subType)
{
    const auto it = std::find_if(std::begin(typeTable), std::end(typeTable),
                                 [&](const TypeEntry& e) { return e.type == type && e.subType == subType; });
    return it == std::end(typeTable) ? nullptr : it;
}

const TypeEntry* findEntry(std::int32_t code)
{
    const auto it = std::find_if(std::begin(typeTable), std::end(typeTable),
                                 [&](const TypeEntry& e) { return e.code == code; });
    return it == std::end(typeTable) ? nullptr : it;
}

// The deprecated wide string types read as their plain counterparts.
OGRFieldType plainType(OGRFieldType type)
{
    if (type == OFTWideString) return OFTString;
    if (type == OFTWideStringList) return OFTStringList;
    return type;
}

constexpr std::int32_t firstDatabaseTypeCode = 1000;

// A deque: names handed out by typeName() stay where they are.
struct DatabaseTypes {
    std::mutex mutex;
    std::deque<DatabaseType> types;
};

DatabaseTypes& databaseTypes()
{
    static DatabaseTypes registry;
    return registry;
}

const DatabaseType* findDatabaseType(std::int32_t code)
{
    auto& registry = databaseTypes();
    std::lock_guard lock(registry.mutex);
    const auto index = static_cast<std::size_t>(code) - firstDatabaseTypeCode;
    return code >= firstDatabaseTypeCode && index < registry.types.size() ? &registry.types[index] : nullptr;
}

} // namespace

std::int32_t typeCodeOf(const OGRFieldDefn& field)
{
    const OGRFieldType type = plainType(field.GetType());
    const TypeEntry* e = findEntry(type, field.GetSubType());
    if (!e) e = findEntry(type, OFSTNone);
    return e ? e->code : host::fieldTypeString;
}

std::optional<OgrFieldType> ogrTypeOf(std::int32_t code)
{
    if (const DatabaseType* type = findDatabaseType(code)) code = type->like;
    if (const TypeEntry* e = findEntry(code)) return OgrFieldType{e->type, e->subType};
    return std::nullopt;
}

const char* typeName(std::int32_t code)
{
    if (code == host::fieldTypeOID) return "Object ID";
    if (code == host::fieldTypeGeometry) return "Geometry";
    if (const DatabaseType* type = findDatabaseType(code)) return type->name.c_str();
    const TypeEntry* e = findEntry(code);
    return e ? e->name : "Unknown";
}

std::int32_t databaseTypeCode(const DatabaseType& type)
{
    auto& registry = databaseTypes();
    std::lock_guard lock(registry.mutex);
    auto& types = registry.types;
    auto it = std::find_if(types.begin(), types.end(),
                           [&](const DatabaseType& t) { return t.name == type.name && t.like == type.like; });
    if (it == types.end()) it = types.insert(types.end(), type);
    return firstDatabaseTypeCode + static_cast<std::int32_t>(it - types.begin());
}

std::optional<DatabaseType> databaseType(std::int32_t code)
{
    const DatabaseType* type = findDatabaseType(code);
    return type ? std::optional<DatabaseType>(*type) : std::nullopt;
}

bool isNumeric(OGRFieldType type) { return type == OFTInteger || type == OFTInteger64 || type == OFTReal; }

} // namespace engine
