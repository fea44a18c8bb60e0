#pragma once

#include "gishost/model/FeatureClass.h"

namespace gishost {

// Lets the host's own calculator find the table behind a cursor it is given.
struct ITableCursor : runtime::IUnknown {
    static constexpr Guid iid = runtime::guid("{5B8E0C41-7D2A-4F6B-9E13-2C4A8F6D0B57}");
    virtual FeatureClass& table() noexcept = 0;

protected:
    ~ITableCursor() = default;
};

// A pass over every row of a table; the rows are read when it is walked.
class RowCursor final : public HostObject<host::IRowCursor, ITableCursor> {
public:
    explicit RowCursor(ComPtr<FeatureClass> table) : table_(std::move(table)) {}
    FeatureClass& table() noexcept override { return *table_; }

private:
    ComPtr<FeatureClass> table_;
};

} // namespace gishost
