#pragma once

#include "gdalhost/TableFields.h"
#include "gishost/model/Life.h"
#include "hostkit/FieldInfo.h"
#include "host/ObjectModel.h"

#include <memory>
#include <string>
#include <vector>

namespace gishost {

// The table behind a vector layer; it is also its attribute table. A thin
// adapter over the engine's table as hosts see it.
class FeatureClass final : public HostObject<host::IFeatureClass, host::IAttributeTable> {
public:
    explicit FeatureClass(engine::Table table) : table_(std::move(table)) {}

    HResult get_Fields(host::IFieldCollection** fields) noexcept override;
    HResult AddField(host::IFieldDefinition* field) noexcept override;
    HResult DeleteField(host::IFieldDefinition* field) noexcept override;
    HResult Search(runtime::IUnknown* filter, bool recycling, host::IRowCursor** cursor) noexcept override;

    const engine::Table& table() const noexcept { return table_.table(); }

private:
    gdalhost::TableFields table_;
};

} // namespace gishost
