#pragma once

#include "qgis/model/FeatureClass.h"
#include "hostkit/TableCursor.h"

namespace qgishost {

// A pass over every row of a layer's table, for the calculator.
class RowCursor final : public HostObject<host::IRowCursor, hostkit::ITableCursor> {
public:
    explicit RowCursor(ComPtr<FeatureClass> table) : table_(std::move(table)) {}
    HResult copyColumn(const std::u16string& source, const std::u16string& target) noexcept override
    {
        return runtime::guarded([&] {
            return table_->copyColumn(QString::fromStdU16String(source), QString::fromStdU16String(target));
        });
    }

private:
    ComPtr<FeatureClass> table_;
};

} // namespace qgishost
