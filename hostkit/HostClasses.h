#pragma once

#include "runtime/Creation.h"

#include <vector>

namespace hostkit {

// Serves, for as long as it lives, the classes a host offers the add-in to
// create: the running-application table, new field definitions, the field
// calculator and host identifiers.
class HostClasses {
public:
    HostClasses();

private:
    std::vector<runtime::ClassRegistration> registrations_;
};

} // namespace hostkit
