#pragma once

#include "qgis/model/Document.h"
#include "hostkit/MapApplication.h"

namespace qgishost {

// QGIS as the add-in sees it: its document is the open project.
using Application = hostkit::MapApplication<Document>;

inline ComPtr<Application> makeApplication(QgsProject& project)
{
    return runtime::make<Application>(runtime::make<Document>(project));
}

} // namespace qgishost
