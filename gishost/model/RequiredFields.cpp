#include "gishost/model/RequiredFields.h"

#include <ogrsf_frmts.h>

namespace gishost {

std::set<std::string> requiredFieldNames(OGRLayer& layer)
{
    std::set<std::string> names;
    const OGRFeatureDefn& definition = *layer.GetLayerDefn();
    for (int i = 0; i < definition.GetFieldCount(); ++i) {
        const OGRFieldDefn& field = *definition.GetFieldDefn(i);
        // GDAL's OpenFileGDB driver marks them by these pseudo defaults.
        const char* value = field.GetDefault();
        if (value && (EQUAL(value, "FILEGEODATABASE_SHAPE_AREA") || EQUAL(value, "FILEGEODATABASE_SHAPE_LENGTH")))
            names.insert(field.GetNameRef());
    }
    return names;
}

} // namespace gishost
