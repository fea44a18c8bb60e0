#include "gishost/model/HostClasses.h"

#include "gishost/model/FieldCalculator.h"
#include "hostkit/HostIdentifier.h"
#include "hostkit/NewFieldDefinition.h"
#include "hostkit/RunningApplications.h"

namespace gishost {

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
    registrations_.push_back(serve<hostkit::RunningApplicationTable>(host::CLSID_RunningApplicationTable));
    registrations_.push_back(serve<hostkit::NewFieldDefinition>(host::CLSID_NewFieldDefinition));
    registrations_.push_back(serve<FieldCalculator>(host::CLSID_FieldCalculator));
    registrations_.push_back(serve<hostkit::HostIdentifier>(host::CLSID_HostIdentifier));
}

} // namespace gishost
