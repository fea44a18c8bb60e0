#pragma once

// A reading of a dataset made with GDAL alone, to compare against after the
// add-in has worked on it through a host.

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace gistest {

struct FieldShape {
    int type = 0;
    int subType = 0;
    int width = 0;
    int precision = 0;
    bool nullable = true;
    std::string defaultValue;
    std::string alias;
    // GDAL's field domain: in a GeoPackage, the column's constraint name.
    std::string domain;
    friend bool operator==(const FieldShape&, const FieldShape&) = default;
};

// One layer as GDAL reads it: each field's definition, and by feature id
// each row's values as text ("<null>" for null) and its geometry as WKB.
struct LayerContent {
    std::map<std::string, FieldShape> fields;
    std::map<long long, std::map<std::string, std::string>> rows;
    std::map<long long, std::vector<unsigned char>> geometries;
};

// GeoPackage aliases are read from gpkg_data_columns, as GDAL 3.6 does not.
LayerContent readLayer(const std::string& path, const std::string& layer);

// `content` after the fields `deleted` went and each of `renamed` (old name,
// new name) was renamed, keeping its definition and values.
LayerContent changed(LayerContent content, const std::vector<std::string>& deleted,
                     const std::vector<std::pair<std::string, std::string>>& renamed);

// Every file under `path` (a file or a folder) and its bytes.
std::map<std::string, std::string> filesUnder(const std::string& path);

// A process id above any the system hands out: the mark of work files that
// a crashed process left.
inline const std::string deadPid = "999999999";
// The files of a dataset: a shapefile's companions with it.
std::map<std::string, std::string> datasetFiles(const std::string& path);

// Takes write permission away from a dataset's files (a shapefile's
// companions, a folder's contents) or gives it back, as a user marks data
// read-only.
void setWritable(const std::string& path, bool writable);

} // namespace gistest
