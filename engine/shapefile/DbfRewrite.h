#pragma once

// Schema changes of a shapefile's attribute table (.dbf), made crash-safe:
// each writes a complete new .dbf beside the old one (same folder, a
// temporary name), streaming the records as raw bytes in large blocks,
// flushes it to disk, renames it over the old one and flushes the folder,
// so that at every instant the .dbf on disk is the whole old table or the
// whole new one. The .shp, .shx, .prj and .cpg are never touched. Code
// page, field widths, precision, dates and the deleted-record flag are kept
// byte for byte; a field copied into one of the same type and width is a
// byte copy within each record. Before the new file replaces the old, every
// record of it is read back and compared with what the old one makes.
//
// Names are UTF-8, as GDAL gives them; a new field's name is written in the
// file's own encoding. Every failure leaves the old file as it was and is
// explained (Log.h).

#include "runtime/Status.h"

#include <gdal_priv.h>

#include <string>

class OGRFieldDefn;
class OGRLayer;

namespace engine::dbf {

// The .dbf of table `layer` of the shapefile dataset at `datasetPath` (a
// .shp, a .dbf, or a folder of shapefiles).
std::string dbfPathOf(const std::string& datasetPath, const std::string& layer);

// GDAL's reading of a .dbf's fields and encoding, from a copy of its header
// in memory: GDAL opening the shapefile itself would load its whole shape
// index (16 bytes a row) and keep the file open.
class HeaderView {
public:
    explicit HeaderView(const std::string& dbfPath);
    ~HeaderView();
    HeaderView(const HeaderView&) = delete;
    HeaderView& operator=(const HeaderView&) = delete;

    // Null when the file is no table GDAL can read.
    OGRLayer* layer() const;
    // GDAL's name of the file's encoding; empty when GDAL does not recode.
    std::string encoding() const;

private:
    std::string folder_;
    GDALDatasetUniquePtr dataset_;
};

runtime::HResult addField(const std::string& dbfPath, const OGRFieldDefn& field);
runtime::HResult deleteField(const std::string& dbfPath, const std::string& name);
runtime::HResult copyColumn(const std::string& dbfPath, const std::string& from, const std::string& to);

} // namespace engine::dbf
