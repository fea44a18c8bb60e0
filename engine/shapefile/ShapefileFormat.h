#pragma once

// Shapefiles (GDAL's ESRI Shapefile driver): each schema change and copy
// is a new .dbf written beside the old one and renamed over it
// (DbfRewrite.h, over DbfHeader.h and DbfIo.h); GDAL only reads rows.

namespace engine {

class FormatRegistry;

void registerShapefileFormat(FormatRegistry& formats);

} // namespace engine
