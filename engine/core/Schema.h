#pragma once

// A table's fields as the engine read them: GDAL's definitions with what
// GDAL does not tell (aliases the format keeps elsewhere, fields the data
// source keeps itself).

#include <ogr_feature.h>

class OGRLayer;

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace engine {

struct Field {
    std::shared_ptr<const OGRFieldDefn> definition;
    std::string alias;
    // Kept by the data source itself (a FileGDB's shape length and area):
    // never changed or removed.
    bool required = false;
    // A database's own name of the column's type, where GDAL's type would
    // not make the column again (timestamp without time zone, numeric
    // without precision, jsonb, an enum type, ...): a field added from this
    // one's definition gets the very same type.
    struct DatabaseType {
        std::string name;
        // GDAL reads some types it does not know (interval, ranges) as
        // integers; their values and defaults are text.
        bool textValues = false;

        bool operator==(const DatabaseType&) const = default;
    };
    std::optional<DatabaseType> databaseType;

    const char* name() const noexcept { return definition->GetNameRef(); }
};

struct GeometryColumn {
    std::string name;
    bool nullable = true;
};

struct Schema {
    // Empty when the table has no object id column of its own.
    std::string fidColumn;
    std::vector<GeometryColumn> geometries;
    std::vector<Field> fields;

    // The attribute field of exactly this name, else the first whose name
    // differs only in letter case (as GDAL looks names up); null when none.
    const Field* find(const std::string& name) const noexcept;
};

// The schema of a GDAL layer, its fields' aliases GDAL's alternative names.
std::shared_ptr<Schema> schemaOf(OGRLayer& layer);

} // namespace engine
