#include "gishost/model/FeatureClass.h"

#include "gdalhost/Text.h"
#include "hostkit/FieldCollection.h"
#include "hostkit/TableCursor.h"

#include <ogr_feature.h>

namespace gishost {

using gdalhost::toUtf8;
using namespace host;

HResult FeatureClass::get_Fields(IFieldCollection** fields) noexcept
{
    if (!fields) return runtime::E_POINTER;
    return guarded([&] {
        hostkit::FieldList list;
        const HResult hr = table_.fields(list);
        if (runtime::failed(hr)) return hr;
        // Read again only when the engine's knowledge of the table changed.
        const ComPtr<FeatureClass> self(this);
        auto read = [self, list, seen = table().dataset().generation()](hostkit::FieldList& out) mutable {
            if (const std::uint64_t now = self->table().dataset().generation(); now != seen) {
                if (const HResult again = self->table_.fields(list); runtime::failed(again)) return again;
                seen = now;
            }
            out = list;
            return S_OK;
        };
        return giveObject(fields, runtime::make<hostkit::FieldCollection>(std::move(read)));
    });
}

HResult FeatureClass::AddField(IFieldDefinition* field) noexcept
{
    if (!field) return runtime::E_POINTER;
    return guarded([&] {
        FieldInfo info;
        const HResult hr = readDefinition(*field, info);
        return runtime::failed(hr) ? hr : table_.addField(info);
    });
}

HResult FeatureClass::DeleteField(IFieldDefinition* field) noexcept
{
    if (!field) return runtime::E_POINTER;
    return guarded([&] {
        std::u16string name;
        const HResult hr = field->get_Name(&name);
        return runtime::failed(hr) ? hr : table_.deleteField(toUtf8(name));
    });
}

HResult FeatureClass::Search(runtime::IUnknown* filter, bool, IRowCursor** cursor) noexcept
{
    if (!cursor) return runtime::E_POINTER;
    // Only the pass over every row is offered; a filtered one is not.
    if (filter) return runtime::E_NOTIMPL;
    return guarded([&] {
        const ComPtr<FeatureClass> self(this);
        return giveObject(cursor, runtime::make<hostkit::RowCursor>([self](const auto& source, const auto& target) {
                              return self->table_.copyColumn(toUtf8(source), toUtf8(target));
                          }));
    });
}

} // namespace gishost
