#include "gdalhost/FieldSchema.h"

#include "engine/core/Log.h"
#include "engine/core/Reasons.h"
#include "engine/core/Schema.h"
#include "gdalhost/DefaultValue.h"
#include "gdalhost/FieldTypes.h"
#include "gdalhost/Text.h"

#include <ogrsf_frmts.h>

namespace gdalhost {

using engine::explain;
using engine::isNumeric;
namespace reason = engine::reason;

using runtime::HResult;

namespace {

// OGR's width is the length of text and the number of digits of a number;
// its precision is the digits after the decimal point, the host's scale.
FieldInfo attributeField(const engine::Field& f)
{
    const OGRFieldDefn& field = *f.definition;
    FieldInfo info;
    info.name = toU16(field.GetNameRef());
    info.alias = toU16(f.alias);
    info.type = typeCodeOf(f);
    info.defaultValue = variantFromDefault(field.GetDefault(), field.GetType());
    info.length = field.GetWidth();
    info.precision = isNumeric(field.GetType()) ? field.GetWidth() : 0;
    info.scale = field.GetPrecision();
    info.nullable = field.IsNullable();
    info.editable = !f.required;
    info.required = f.required;
    return info;
}

} // namespace

std::vector<FieldInfo> fieldInfos(const engine::Schema& schema)
{
    std::vector<FieldInfo> out;
    out.reserve(1 + schema.geometries.size() + schema.fields.size());
    out.push_back(hostkit::objectIdField(toU16(schema.fidColumn)));
    for (const engine::GeometryColumn& g : schema.geometries) out.push_back(hostkit::geometryField(toU16(g.name), g.nullable));
    for (const engine::Field& f : schema.fields) out.push_back(attributeField(f));
    return out;
}

HResult ogrFieldFor(const FieldInfo& info, std::unique_ptr<OGRFieldDefn>& field)
{
    const std::string name = toUtf8(info.name);
    const auto type = ogrTypeOf(info.type);
    if (!type) {
        explain(reason::notAnAttributeType(name, info.type, typeName(info.type)));
        return runtime::E_INVALIDARG;
    }
    if (info.name.empty() || info.required || !info.editable) {
        explain(reason::notAddable(name));
        return runtime::E_INVALIDARG;
    }
    std::optional<std::string> ogrDefault;
    if (const HResult hr = defaultFromVariant(info.defaultValue, type->type, ogrDefault); runtime::failed(hr)) {
        explain(reason::defaultDoesNotSuit(name, typeName(info.type)));
        return hr;
    }

    auto made = std::make_unique<OGRFieldDefn>(name.c_str(), type->type);
    made->SetSubType(type->subType);
    made->SetWidth(isNumeric(type->type) && info.precision > 0 ? info.precision : info.length);
    made->SetPrecision(info.scale);
    made->SetNullable(info.nullable);
    made->SetAlternativeName(toUtf8(info.alias).c_str());
    if (ogrDefault) made->SetDefault(ogrDefault->c_str());
    field = std::move(made);
    return runtime::S_OK;
}

} // namespace gdalhost
