// Every format the engine knows, as GDAL lists its drivers in one place.

#include "engine/core/Format.h"
#include "engine/filegdb/FileGdbFormat.h"
#include "engine/ogr/OgrFormat.h"
#include "engine/postgres/PostgresFormat.h"
#include "engine/shapefile/ShapefileFormat.h"
#include "engine/sqlite/SqliteFormat.h"

namespace engine {

const Format& formatFor(const std::string& driverName)
{
    static const FormatRegistry formats = [] {
        FormatRegistry all;
        registerShapefileFormat(all);
        registerSqliteFormats(all);
        registerFileGdbFormat(all);
        registerPostgresFormat(all);
        return all;
    }();
    const Format* format = formats.find(driverName);
    return format ? *format : ogrFormat();
}

} // namespace engine
