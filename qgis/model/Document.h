#pragma once

#include "qgis/model/Map.h"

namespace qgishost {

// The open project; it is also its own collection of maps, which holds the
// one map of the project, the active one.
class Document final : public HostObject<host::IMapDocument, host::IMapCollection> {
public:
    explicit Document(QgsProject& project) : map_(runtime::make<Map>(project)) {}

    HResult get_Maps(host::IMapCollection** maps) noexcept override
    {
        return giveObject(maps, ComPtr<Document>(this));
    }
    HResult get_ActiveMap(host::IMap** map) noexcept override { return giveObject(map, map_); }
    HResult get_Count(std::int32_t* count) noexcept override { return give(count, 1); }
    HResult get_Item(std::int32_t index, host::IMap** map) noexcept override
    {
        if (index != 0) return runtime::E_INVALIDARG;
        return giveObject(map, map_);
    }

private:
    ComPtr<Map> map_;
};

} // namespace qgishost
