#pragma once

// Between OGR's field definitions and the host's: the object id and each
// geometry appear as fields of their own, required and not editable.

#include "gishost/model/FieldInfo.h"
#include "host/ObjectModel.h"

#include <memory>
#include <string>

class OGRFieldDefn;
class OGRGeomFieldDefn;
class OGRLayer;

namespace gishost {

FieldInfo objectIdField(OGRLayer& layer);
FieldInfo geometryField(const OGRGeomFieldDefn& field);
FieldInfo attributeField(const OGRFieldDefn& field, const std::string& alias, bool required);

using hostkit::readDefinition;

// The OGR field for a new attribute field; E_INVALIDARG for what no
// attribute field can be (object id, geometry, required, not editable).
runtime::HResult ogrFieldFor(const FieldInfo& info, std::unique_ptr<OGRFieldDefn>& field);

} // namespace gishost
