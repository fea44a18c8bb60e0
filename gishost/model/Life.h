#pragma once

// gishost's objects are host objects like every host's.

#include "hostkit/FieldInfo.h"
#include "hostkit/HostObject.h"

namespace gishost {

using hostkit::FieldInfo;
using hostkit::giveObject;
using hostkit::HostObject;
using hostkit::readDefinition;
using runtime::ComPtr;
using runtime::give;
using runtime::Guid;
using runtime::guarded;
using runtime::HResult;
using runtime::S_OK;

} // namespace gishost
