#include "engine/core/Schema.h"

#include <cpl_string.h>
#include <ogrsf_frmts.h>

namespace engine {

const Field* Schema::find(const std::string& name) const noexcept
{
    for (const Field& f : fields)
        if (name == f.name()) return &f;
    for (const Field& f : fields)
        if (EQUAL(name.c_str(), f.name())) return &f;
    return nullptr;
}

namespace {

// GDAL's OpenFileGDB driver marks the fields a FileGDB keeps itself by
// these pseudo defaults.
bool keptBySource(const OGRFieldDefn& field)
{
    const char* value = field.GetDefault();
    return value && (EQUAL(value, "FILEGEODATABASE_SHAPE_AREA") || EQUAL(value, "FILEGEODATABASE_SHAPE_LENGTH"));
}

} // namespace

std::shared_ptr<Schema> schemaOf(OGRLayer& layer)
{
    auto schema = std::make_shared<Schema>();
    const char* fid = layer.GetFIDColumn();
    schema->fidColumn = fid ? fid : "";
    const OGRFeatureDefn& definition = *layer.GetLayerDefn();
    for (int i = 0; i < definition.GetGeomFieldCount(); ++i) {
        const OGRGeomFieldDefn& g = *definition.GetGeomFieldDefn(i);
        schema->geometries.push_back({g.GetNameRef(), g.IsNullable() != 0});
    }
    for (int i = 0; i < definition.GetFieldCount(); ++i) {
        const OGRFieldDefn& f = *definition.GetFieldDefn(i);
        schema->fields.push_back(
            {std::make_shared<const OGRFieldDefn>(&f), f.GetAlternativeNameRef(), keptBySource(f), std::nullopt});
    }
    return schema;
}

} // namespace engine
