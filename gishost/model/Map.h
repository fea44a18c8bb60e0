#pragma once

#include "gishost/model/DataSource.h"
#include "gishost/model/Life.h"
#include "host/ObjectModel.h"

#include <memory>
#include <vector>

namespace gishost {

// One dataset shown as a map: its vector layers in the dataset's order,
// then its raster, if it has one.
class Map final : public HostObject<host::IMap> {
public:
    explicit Map(std::shared_ptr<DataSource> source);

    HResult get_Name(std::u16string* name) noexcept override { return give(name, name_); }
    HResult get_LayerCount(std::int32_t* count) noexcept override;
    HResult get_Layer(std::int32_t index, host::ILayer** layer) noexcept override;

    // Where the dataset is: its path or connection string.
    const std::string& path() const noexcept { return source_->path(); }

private:
    std::shared_ptr<DataSource> source_;
    std::u16string name_;
    std::vector<ComPtr<host::ILayer>> layers_;
};

} // namespace gishost
