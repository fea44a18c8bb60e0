#pragma once

#include "hostkit/TableCursor.h"

namespace hostkit {

// Calculates a field from an expression over the rows of a cursor. The only
// expression it knows is "[name]": the value of another field.
class FieldCalculator final : public HostObject<host::IFieldCalculator> {
public:
    HResult putref_Cursor(host::IRowCursor* cursor) noexcept override;
    HResult put_Field(const std::u16string& fieldName) noexcept override;
    HResult put_Expression(const std::u16string& expression) noexcept override;
    // Hands back no result object.
    HResult Calculate(runtime::IUnknown** result) noexcept override;

private:
    ComPtr<ITableCursor> cursor_;
    std::u16string target_;
    std::u16string source_;
};

} // namespace hostkit
