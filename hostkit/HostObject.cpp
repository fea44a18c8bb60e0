#include "hostkit/HostObject.h"

namespace hostkit {

runtime::ModuleLife modelLife;

} // namespace hostkit
