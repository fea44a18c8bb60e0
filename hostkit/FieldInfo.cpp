#include "hostkit/FieldInfo.h"

#include <QString>

namespace hostkit {

FieldInfo objectIdField(std::u16string name)
{
    FieldInfo info;
    info.name = name.empty() ? defaultObjectIdName : std::move(name);
    info.type = host::fieldTypeOID;
    info.length = 4;
    info.nullable = false;
    info.editable = false;
    info.required = true;
    return info;
}

FieldInfo geometryField(std::u16string name, bool nullable)
{
    FieldInfo info;
    info.name = name.empty() ? defaultGeometryName : std::move(name);
    info.type = host::fieldTypeGeometry;
    info.nullable = nullable;
    info.editable = false;
    info.required = true;
    return info;
}

std::int32_t findField(const std::vector<FieldInfo>& fields, const std::u16string& name)
{
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].name == name) return static_cast<std::int32_t>(i);
    const QString wanted = QString::fromStdU16String(name);
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (QString::fromStdU16String(fields[i].name).compare(wanted, Qt::CaseInsensitive) == 0)
            return static_cast<std::int32_t>(i);
    return -1;
}

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
