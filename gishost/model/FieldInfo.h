#pragma once

#include "hostkit/FieldInfo.h"

namespace gishost {
using hostkit::FieldInfo;
} // namespace gishost
