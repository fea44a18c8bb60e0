#pragma once

#include "gishost/model/Map.h"

namespace gishost {

// The map document; it is also its own collection of maps. The first map is
// the active one.
class Document final : public HostObject<host::IMapDocument, host::IMapCollection> {
public:
    explicit Document(std::vector<ComPtr<Map>> maps) : maps_(std::move(maps)) {}

    HResult get_Maps(host::IMapCollection** maps) noexcept override
    {
        return giveObject(maps, ComPtr<Document>(this));
    }
    // Null when the document has no map.
    HResult get_ActiveMap(host::IMap** map) noexcept override
    {
        return giveObject(map, maps_.empty() ? ComPtr<Map>() : maps_.front());
    }
    HResult get_Count(std::int32_t* count) noexcept override
    {
        return give(count, static_cast<std::int32_t>(maps_.size()));
    }
    HResult get_Item(std::int32_t index, host::IMap** map) noexcept override
    {
        if (index < 0 || static_cast<std::size_t>(index) >= maps_.size()) return runtime::E_INVALIDARG;
        return giveObject(map, maps_[static_cast<std::size_t>(index)]);
    }

    const std::vector<ComPtr<Map>>& maps() const noexcept { return maps_; }
    // Opened after the start: it comes last, the active map stays.
    void add(ComPtr<Map> map) { maps_.push_back(std::move(map)); }

private:
    std::vector<ComPtr<Map>> maps_;
};

} // namespace gishost
