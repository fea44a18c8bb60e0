#pragma once

// An engine table as every host hands out a GDAL-backed layer's table: its
// fields as host field definitions, and its changes from them. gishost's
// feature class and QGIS's GDAL-backed storage are both this.

#include "engine/core/Table.h"
#include "hostkit/FieldInfo.h"

#include <memory>
#include <string>

namespace gdalhost {

class TableFields {
public:
    explicit TableFields(engine::Table table) : table_(std::move(table)) {}

    const engine::Table& table() const noexcept { return table_; }

    // Object id, geometries, then attributes, as the engine knows them;
    // converted once for each reading of the table.
    runtime::HResult fields(hostkit::FieldList& out);
    runtime::HResult addField(const hostkit::FieldInfo& info) const;
    runtime::HResult deleteField(const std::string& name) const;
    runtime::HResult copyColumn(const std::string& from, const std::string& to) const;

private:
    engine::Table table_;
    std::shared_ptr<const engine::Schema> convertedFrom_;
    hostkit::FieldList converted_;
};

} // namespace gdalhost
