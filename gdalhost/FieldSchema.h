#pragma once

// Between the engine's fields and the host's field definitions: the object
// id and each geometry appear as fields of their own, required and not
// editable.

#include "hostkit/FieldInfo.h"
#include "runtime/Status.h"

#include <memory>
#include <vector>

class OGRFieldDefn;

namespace engine {
struct Schema;
}

namespace gdalhost {

using hostkit::FieldInfo;

// Object id, geometries, then the attribute fields.
std::vector<FieldInfo> fieldInfos(const engine::Schema& schema);

// The OGR field for a new attribute field, its alias as alternative name;
// E_INVALIDARG, explained, for what no attribute field can be (object id,
// geometry, required, not editable, a default that does not suit).
runtime::HResult ogrFieldFor(const FieldInfo& info, std::unique_ptr<OGRFieldDefn>& field);

} // namespace gdalhost
