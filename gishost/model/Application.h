#pragma once

#include "gishost/model/Document.h"
#include "hostkit/MapApplication.h"

namespace gishost {

using Application = hostkit::MapApplication<Document>;

} // namespace gishost
