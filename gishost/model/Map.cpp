#include "gishost/model/Map.h"

#include "gdalhost/Text.h"
#include "gishost/model/Layers.h"
#include "hostkit/PlainLayer.h"

namespace gishost {

using gdalhost::toU16;
using namespace engine;

Map::Map(std::shared_ptr<Dataset> dataset)
    : dataset_(std::move(dataset)), name_(toU16(dataset_->name()))
{
    for (const std::string& table : dataset_->tableNames()) {
        auto featureClass = runtime::make<FeatureClass>(Table(dataset_, table));
        layers_.emplace_back(runtime::make<FeatureLayer>(toU16(table), featureClass).get());
    }
    if (dataset_->hasRaster()) layers_.emplace_back(runtime::make<hostkit::PlainLayer>(name_).get());
}

HResult Map::get_LayerCount(std::int32_t* count) noexcept
{
    return give(count, static_cast<std::int32_t>(layers_.size()));
}

HResult Map::get_Layer(std::int32_t index, host::ILayer** layer) noexcept
{
    if (!layer) return runtime::E_POINTER;
    if (index < 0 || static_cast<std::size_t>(index) >= layers_.size()) return runtime::E_INVALIDARG;
    return layers_[static_cast<std::size_t>(index)].copyTo(layer);
}

} // namespace gishost
