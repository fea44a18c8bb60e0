#pragma once

// What the gishost tests share: a host serving its classes over a document,
// and the reading of datasets with GDAL alone.

#include "DataReadBack.h"

#include "gishost/model/Application.h"
#include "gishost/model/DocumentLoader.h"
#include "hostkit/HostClasses.h"
#include "hostkit/RunningApplications.h"

#include <QTemporaryDir>

namespace gistest {

// A host application over the datasets at `paths`, running and serving the
// classes the add-in creates.
struct Host {
    explicit Host(const std::vector<std::string>& paths, gishost::OpenMode mode = gishost::OpenMode::Update)
        : loaded(gishost::loadDocument(paths, mode)),
          application(runtime::make<gishost::Application>(loaded.document)),
          running(runtime::ComPtr<host::IHostApplication>(application.get()))
    {
    }
    hostkit::HostClasses classes;
    gishost::LoadedDocument loaded;
    runtime::ComPtr<gishost::Application> application;
    hostkit::RunningEntry running;
};

} // namespace gistest
