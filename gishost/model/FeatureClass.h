#pragma once

#include "engine/Table.h"
#include "gishost/model/Life.h"
#include "hostkit/FieldInfo.h"
#include "host/ObjectModel.h"

#include <memory>
#include <string>
#include <vector>

namespace gishost {

// The table behind a vector layer; it is also its attribute table. A thin
// adapter over the engine's table.
class FeatureClass final : public HostObject<host::IFeatureClass, host::IAttributeTable> {
public:
    explicit FeatureClass(engine::Table table) : table_(std::move(table)) {}

    HResult get_Fields(host::IFieldCollection** fields) noexcept override;
    HResult AddField(host::IFieldDefinition* field) noexcept override;
    HResult DeleteField(host::IFieldDefinition* field) noexcept override;
    HResult Search(runtime::IUnknown* filter, bool recycling, host::IRowCursor** cursor) noexcept override;

    using FieldList = hostkit::FieldList;
    // The fields as the engine knows them: object id, geometries, then
    // attributes; converted once for each reading of the table.
    HResult fields(FieldList& out);
    // AddField for a definition already read.
    HResult addField(const FieldInfo& info);

    const engine::Table& table() const noexcept { return table_; }

private:
    engine::Table table_;
    std::shared_ptr<const engine::Schema> convertedFrom_;
    FieldList converted_;
};

} // namespace gishost
