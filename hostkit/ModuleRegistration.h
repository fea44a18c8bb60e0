#pragma once

// What `gishost --register MODULE` and `--unregister MODULE` do: the
// module's own entry point enters or removes its classes, and the host
// enters each class in the category of what it is (command, extension,
// toolbar), or takes it out of them.

#include "runtime/Status.h"

#include <string>
#include <vector>

namespace hostkit {

// `report` gets one line for each class the host placed or removed.
runtime::HResult registerModule(const std::string& modulePath, std::vector<std::string>& report);
runtime::HResult unregisterModule(const std::string& modulePath, std::vector<std::string>& report);

} // namespace hostkit
