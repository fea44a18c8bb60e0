#pragma once

#include "engine/core/Dataset.h"
#include "gishost/model/Life.h"
#include "host/ObjectModel.h"

#include <memory>
#include <vector>

namespace gishost {

// One dataset shown as a map: its vector layers in the dataset's order,
// then its raster, if it has one.
class Map final : public HostObject<host::IMap> {
public:
    explicit Map(std::shared_ptr<engine::Dataset> dataset);

    HResult get_Name(std::u16string* name) noexcept override { return give(name, name_); }
    HResult get_LayerCount(std::int32_t* count) noexcept override;
    HResult get_Layer(std::int32_t index, host::ILayer** layer) noexcept override;

    const std::shared_ptr<engine::Dataset>& dataset() const noexcept { return dataset_; }

private:
    std::shared_ptr<engine::Dataset> dataset_;
    std::u16string name_;
    std::vector<ComPtr<host::ILayer>> layers_;
};

} // namespace gishost
