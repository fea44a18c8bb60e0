// register-addin --register MODULE | --unregister MODULE
// Enters an add-in module's classes in the registration store and in the
// hosts' categories, as `gishost --register` does, for hosts that have no
// command line of their own (the QGIS plugin).

#include "hostkit/ModuleRegistration.h"

int main(int argc, char** argv)
{
    if (const auto status = hostkit::registrationCommand({argv + 1, argv + argc}, "register-addin")) return *status;
    hostkit::printRegistrationUsage("register-addin");
    return 2;
}
