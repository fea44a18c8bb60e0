#pragma once

#include "hostkit/HostObject.h"
#include "host/ObjectModel.h"

#include <functional>
#include <string>

namespace hostkit {

// A host's own cursor: its calculator copies a column over the table behind it.
struct ITableCursor : runtime::IUnknown {
    static constexpr Guid iid = runtime::guid("{5B8E0C41-7D2A-4F6B-9E13-2C4A8F6D0B57}");
    // Every row's value of attribute field `source` into field `target`.
    virtual HResult copyColumn(const std::u16string& source, const std::u16string& target) noexcept = 0;

protected:
    ~ITableCursor() = default;
};

// A pass over every row of a table; `copy` copies a column over that table.
class RowCursor final : public HostObject<host::IRowCursor, ITableCursor> {
public:
    using Copy = std::function<HResult(const std::u16string& source, const std::u16string& target)>;
    explicit RowCursor(Copy copy) : copy_(std::move(copy)) {}
    HResult copyColumn(const std::u16string& source, const std::u16string& target) noexcept override
    {
        return guarded([&] { return copy_(source, target); });
    }

private:
    Copy copy_;
};

} // namespace hostkit
