#pragma once

// What the gishost tests share: a host serving its classes over a document,
// the add-in's dialog driven through its own handlers, and the reading of
// datasets with GDAL alone.

#include "DataReadBack.h"

#include "gishost/model/Application.h"
#include "gishost/model/DocumentLoader.h"
#include "hostkit/HostClasses.h"
#include "hostkit/RunningApplications.h"
#include "dialog/frmQuillet.h"
#include "Ui.h"

#include <QComboBox>
#include <QListWidget>
#include <QStringList>
#include <QTemporaryDir>

namespace gistest {

// A host application over the datasets at `paths`, running and serving the
// classes the add-in creates.
struct Host {
    explicit Host(const std::vector<std::string>& paths);
    hostkit::HostClasses classes;
    gishost::LoadedDocument loaded;
    runtime::ComPtr<gishost::Application> application;
    hostkit::RunningEntry running;
};

// The feature class of a layer of a map, through the host's interfaces;
// null when there is none.
runtime::ComPtr<host::IFeatureClass> featureClassAt(const Host& host, int map, int layer);

struct Rename {
    std::string from;
    std::string to;
};

using testsupport::entries;
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

} // namespace gistest
