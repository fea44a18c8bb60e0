#include "gdalhost/FieldTypes.h"

#include "engine/core/Schema.h"
#include "host/ObjectModel.h"

#include <ogr_feature.h>

#include <algorithm>
#include <deque>
#include <iterator>
#include <mutex>

namespace gdalhost {

using engine::OgrFieldType;

namespace {

struct TypeEntry {
    std::int32_t code;
    OgrFieldType type;
};

// Codes 0 to 8 are the ones every host shares; OGR types they cannot hold
// without loss get codes of gishost's own from 100 on, so that a field
// copied by its definition keeps its exact type.
constexpr TypeEntry typeTable[] = {
    {host::fieldTypeSmallInteger, {OFTInteger, OFSTInt16}},
    {host::fieldTypeInteger, {OFTInteger, OFSTNone}},
    {host::fieldTypeSingle, {OFTReal, OFSTFloat32}},
    {host::fieldTypeDouble, {OFTReal, OFSTNone}},
    {host::fieldTypeString, {OFTString, OFSTNone}},
    {host::fieldTypeDate, {OFTDateTime, OFSTNone}},
    {host::fieldTypeBlob, {OFTBinary, OFSTNone}},
    {100, {OFTInteger, OFSTBoolean}},
    {101, {OFTInteger64, OFSTNone}},
    {102, {OFTDate, OFSTNone}},
    {103, {OFTTime, OFSTNone}},
    {104, {OFTString, OFSTJSON}},
    {105, {OFTString, OFSTUUID}},
    {106, {OFTIntegerList, OFSTNone}},
    {107, {OFTInteger64List, OFSTNone}},
    {108, {OFTRealList, OFSTNone}},
    {109, {OFTStringList, OFSTNone}},
};

template <class Match>
const TypeEntry* findEntry(Match match)
{
    const auto it = std::find_if(std::begin(typeTable), std::end(typeTable), match);
    return it == std::end(typeTable) ? nullptr : it;
}

const TypeEntry* findEntry(std::int32_t code)
{
    return findEntry([&](const TypeEntry& e) { return e.code == code; });
}

constexpr std::int32_t firstDatabaseTypeCode = 1000;

struct DatabaseType {
    std::string name;
    std::int32_t like; // the code of the values' type
};

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

} // namespace

std::int32_t typeCodeOf(const OGRFieldDefn& field)
{
    const OgrFieldType type = engine::ogrTypeOf(field);
    const TypeEntry* e = findEntry([&](const TypeEntry& t) { return t.type == type; });
    return e ? e->code : host::fieldTypeString;
}

std::int32_t typeCodeOf(const engine::Field& field)
{
    const std::int32_t code = typeCodeOf(*field.definition);
    if (!field.databaseType) return code;
    return databaseTypeCode({field.databaseType->name, field.databaseType->textValues ? host::fieldTypeString : code});
}

std::optional<OgrFieldType> ogrTypeOf(std::int32_t code)
{
    if (const DatabaseType* type = findDatabaseType(code)) code = type->like;
    if (const TypeEntry* e = findEntry(code)) return e->type;
    return std::nullopt;
}

const char* typeName(std::int32_t code)
{
    if (code == host::fieldTypeOID) return "Object ID";
    if (code == host::fieldTypeGeometry) return "Geometry";
    if (const DatabaseType* type = findDatabaseType(code)) return type->name.c_str();
    const TypeEntry* e = findEntry(code);
    return e ? engine::typeName(e->type) : "Unknown";
}

std::optional<std::string> databaseTypeName(std::int32_t code)
{
    const DatabaseType* type = findDatabaseType(code);
    return type ? std::optional<std::string>(type->name) : std::nullopt;
}

} // namespace gdalhost
