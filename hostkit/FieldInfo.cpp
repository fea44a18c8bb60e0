#include "hostkit/FieldInfo.h"

namespace hostkit {

runtime::HResult readDefinition(host::IFieldDefinition& d, FieldInfo& info)
{
    runtime::HResult hr = runtime::S_OK;
    for (runtime::HResult step :
         {d.get_Name(&info.name), d.get_AliasName(&info.alias), d.get_Type(&info.type),
          d.get_DefaultValue(&info.defaultValue), d.get_Length(&info.length), d.get_Precision(&info.precision),
          d.get_Scale(&info.scale), d.get_IsNullable(&info.nullable), d.get_Editable(&info.editable),
          d.get_Required(&info.required)})
        if (runtime::succeeded(hr) && runtime::failed(step)) hr = step;
    return hr;
}

} // namespace hostkit
