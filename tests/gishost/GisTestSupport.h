#pragma once

// What the gishost tests share: a host serving its classes over a document,
// a temporary registration store, and a reading of a dataset made with GDAL
// alone, to compare against after the add-in has worked on it.

#include "gishost/model/Application.h"
#include "gishost/model/DocumentLoader.h"
#include "hostkit/HostClasses.h"
#include "hostkit/RunningApplications.h"

#include <QTemporaryDir>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace gistest {

// A host application over the datasets at `paths`, running and serving the
// classes the add-in creates.
struct Host {
    explicit Host(const std::vector<std::string>& paths, gishost::OpenMode mode = gishost::OpenMode::Update);
    hostkit::HostClasses classes;
    gishost::LoadedDocument loaded;
    runtime::ComPtr<gishost::Application> application;
    hostkit::RunningEntry running;
};

struct FieldShape {
    int type = 0;
    int subType = 0;
    int width = 0;
    int precision = 0;
    bool nullable = true;
    std::string defaultValue;
    std::string alias;
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

// Every file under `path` (a file or a folder) and its bytes.
std::map<std::string, std::string> filesUnder(const std::string& path);
// The files of a dataset: a shapefile's companions with it.
std::map<std::string, std::string> datasetFiles(const std::string& path);

// Takes write permission away from a dataset's files, as a user marks data read-only.
void markReadOnly(const std::string& path);

} // namespace gistest
