#pragma once

// What `--register MODULE` and `--unregister MODULE` do: the module's own
// entry point enters or removes its classes, and the host enters each class
// in the category of what it is (command, extension, toolbar), or takes it
// out of them.

#include "runtime/Status.h"

#include <optional>
#include <string>
#include <vector>

namespace hostkit {

// `report` gets one line for each class the host placed or removed.
runtime::HResult registerModule(const std::string& modulePath, std::vector<std::string>& report);
runtime::HResult unregisterModule(const std::string& modulePath, std::vector<std::string>& report);

// Runs `--register MODULE` or `--unregister MODULE` given as a program's
// arguments, reporting on standard output and error; the program's exit
// status, or none when the arguments ask for something else.
std::optional<int> registrationCommand(const std::vector<std::string>& args, const char* program);
void printRegistrationUsage(const char* program);

} // namespace hostkit
