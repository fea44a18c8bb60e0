#include "hostkit/FieldCalculator.h"

namespace hostkit {

HResult FieldCalculator::putref_Cursor(host::IRowCursor* cursor) noexcept
{
    ComPtr<ITableCursor> ours;
    // Only a cursor of this host says which table it walks.
    if (cursor && runtime::failed(ComPtr<host::IRowCursor>(cursor).queryInterface(ours))) return runtime::E_INVALIDARG;
    cursor_ = ours;
    return S_OK;
}

HResult FieldCalculator::put_Field(const std::u16string& fieldName) noexcept { return give(&target_, fieldName); }

HResult FieldCalculator::put_Expression(const std::u16string& expression) noexcept
{
    source_.clear();
    if (expression.size() < 3 || expression.front() != u'[' || expression.back() != u']')
        return runtime::E_INVALIDARG;
    return give(&source_, expression.substr(1, expression.size() - 2));
}

// A failed calculation leaves `result` as it was.
HResult FieldCalculator::Calculate(runtime::IUnknown** result) noexcept
{
    if (!cursor_ || target_.empty() || source_.empty()) return runtime::E_UNEXPECTED;
    const HResult hr = cursor_->copyColumn(source_, target_);
    if (runtime::succeeded(hr) && result) *result = nullptr;
    return hr;
}

} // namespace hostkit
