#include "hostkit/HostClasses.h"

#include "hostkit/FieldCalculator.h"
#include "hostkit/HostIdentifier.h"
#include "hostkit/NewFieldDefinition.h"
#include "hostkit/RunningApplications.h"

namespace hostkit {

namespace {

template <class T>
runtime::ClassRegistration serve(const Guid& clsid)
{
    auto factory = runtime::make<runtime::ClassFactory<T, modelLife>>();
    return runtime::ClassRegistration(clsid, ComPtr<runtime::IClassFactory>(factory.get()));
}

} // namespace

HostClasses::HostClasses()
{
    registrations_.push_back(serve<RunningApplicationTable>(host::CLSID_RunningApplicationTable));
    registrations_.push_back(serve<NewFieldDefinition>(host::CLSID_NewFieldDefinition));
    registrations_.push_back(serve<FieldCalculator>(host::CLSID_FieldCalculator));
    registrations_.push_back(serve<HostIdentifier>(host::CLSID_HostIdentifier));
}

} // namespace hostkit
