#pragma once

// What the gishost tests share: a host serving its classes over a document,
// a temporary registration store, and a reading of a dataset made with GDAL
// alone, to compare against after the add-in has worked on it.

#include "gishost/model/Application.h"
#include "gishost/model/DocumentLoader.h"
#include "gishost/model/HostClasses.h"
#include "gishost/model/RunningApplications.h"
#include "dialog/frmQuillet.h"
#include "Ui.h"

#include <QComboBox>
#include <QListWidget>
#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace gistest {

// A host application over the datasets at `paths`, running and serving the
// classes the add-in creates.
struct Host {
    explicit Host(const std::vector<std::string>& paths);
    gishost::HostClasses classes;
    gishost::LoadedDocument loaded;
    runtime::ComPtr<gishost::Application> application;
    gishost::RunningEntry running;
};

// The feature class of a layer of a map, through the host's interfaces;
// null when there is none.
runtime::ComPtr<host::IFeatureClass> featureClassAt(const Host& host, int map, int layer);

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

struct Rename {
    std::string from;
    std::string to;
};

QStringList entries(const QComboBox& box);
QStringList entries(const QListWidget& list);
std::vector<std::string> messages(const testsupport::Ui& ui);

// Drives the add-in's dialog as a person would, through its own handlers;
// each step fails the test when an entry it needs is not listed.
struct Dialog {
    testsupport::Ui ui;
    quillet::frmQuillet form;

    Dialog();
    ~Dialog();

    void chooseLayer(QComboBox* box, const std::string& layer);
    // Chooses the Delete tab's layer, then deleteChosen.
    void deleteFields(const std::string& layer, const std::vector<std::string>& fields);
    // Moves the fields of the layer shown to the deletion list and deletes.
    void deleteChosen(const std::vector<std::string>& fields);
    // Chooses the Rename tab's layer, then renameChosen.
    void rename(const std::string& layer, const Rename& r);
    void renameChosen(const Rename& r);
};

// Takes write permission away from a dataset's files, as a user marks data read-only.
void markReadOnly(const std::string& path);

} // namespace gistest
