#include "gishost/model/FieldCalculator.h"

#include "gishost/model/ColumnCopy.h"
#include "engine/Text.h"

namespace gishost {

using namespace engine;

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
    const HResult hr = guarded([&] { return copyColumn(cursor_->table(), toUtf8(source_), toUtf8(target_)); });
    if (runtime::succeeded(hr) && result) *result = nullptr;
    return hr;
}

} // namespace gishost
