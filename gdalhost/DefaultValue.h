#pragma once

// Field default values: OGR keeps them as SQL literal text ('text', 12.5,
// CURRENT_TIMESTAMP, NULL); the host hands them out as variants.

#include "runtime/Status.h"
#include "runtime/Variant.h"

#include <ogr_core.h>

#include <optional>
#include <string>

namespace gdalhost {

runtime::Variant variantFromDefault(const char* ogrDefault, OGRFieldType type);

// `ogrDefault` is left empty for "no default"; a value that does not suit
// the type fails with E_INVALIDARG.
runtime::HResult defaultFromVariant(const runtime::Variant& value, OGRFieldType type,
                                    std::optional<std::string>& ogrDefault);

} // namespace gdalhost
