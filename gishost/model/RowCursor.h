#pragma once

#include "gishost/model/FeatureClass.h"
#include "hostkit/TableCursor.h"
#include "engine/Text.h"

namespace gishost {

// A pass over every row of a table; the rows are read when it is walked.
class RowCursor final : public HostObject<host::IRowCursor, hostkit::ITableCursor> {
public:
    explicit RowCursor(ComPtr<FeatureClass> table) : table_(std::move(table)) {}
    HResult copyColumn(const std::u16string& source, const std::u16string& target) noexcept override
    {
        return guarded([&] { return table_->table().copyColumn(engine::toUtf8(source), engine::toUtf8(target)); });
    }

private:
    ComPtr<FeatureClass> table_;
};

} // namespace gishost
