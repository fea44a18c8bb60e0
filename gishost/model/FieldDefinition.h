#pragma once

#include "hostkit/FieldDefinition.h"

namespace gishost {
using hostkit::FieldDefinition;
} // namespace gishost
