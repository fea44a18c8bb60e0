#include "gishost/model/FieldSchema.h"

#include "engine/DefaultValue.h"
#include "engine/FieldTypes.h"
#include "engine/Text.h"

#include <ogrsf_frmts.h>

namespace gishost {

using namespace engine;

using runtime::HResult;

FieldInfo objectIdField(OGRLayer& layer)
{
    FieldInfo info;
    const char* name = layer.GetFIDColumn();
    info.name = toU16(name && *name ? name : "FID");
    info.type = host::fieldTypeOID;
    info.length = 4;
    info.nullable = false;
    info.editable = false;
    info.required = true;
    return info;
}

FieldInfo geometryField(const OGRGeomFieldDefn& field)
{
    FieldInfo info;
    const char* name = field.GetNameRef();
    info.name = toU16(name && *name ? name : "Shape");
    info.type = host::fieldTypeGeometry;
    info.nullable = field.IsNullable();
    info.editable = false;
    info.required = true;
    return info;
}

// OGR's width is the length of text and the number of digits of a number;
// its precision is the digits after the decimal point, the host's scale.
FieldInfo attributeField(const OGRFieldDefn& field, const std::string& alias, bool required)
{
    FieldInfo info;
    info.name = toU16(field.GetNameRef());
    info.alias = toU16(alias);
    info.type = typeCodeOf(field);
    info.defaultValue = variantFromDefault(field.GetDefault(), field.GetType());
    info.length = field.GetWidth();
    info.precision = isNumeric(field.GetType()) ? field.GetWidth() : 0;
    info.scale = field.GetPrecision();
    info.nullable = field.IsNullable();
    info.editable = !required;
    info.required = required;
    return info;
}

HResult ogrFieldFor(const FieldInfo& info, std::unique_ptr<OGRFieldDefn>& field)
{
    const auto type = ogrTypeOf(info.type);
    if (!type || info.name.empty() || info.required || !info.editable) return runtime::E_INVALIDARG;
    std::optional<std::string> ogrDefault;
    if (const HResult hr = defaultFromVariant(info.defaultValue, type->type, ogrDefault); runtime::failed(hr))
        return hr;

    auto made = std::make_unique<OGRFieldDefn>(toUtf8(info.name).c_str(), type->type);
    made->SetSubType(type->subType);
    made->SetWidth(isNumeric(type->type) && info.precision > 0 ? info.precision : info.length);
    made->SetPrecision(info.scale);
    made->SetNullable(info.nullable);
    made->SetAlternativeName(toUtf8(info.alias).c_str());
    if (ogrDefault) made->SetDefault(ogrDefault->c_str());
    field = std::move(made);
    return runtime::S_OK;
}

} // namespace gishost
