#include "gishost/model/Map.h"

#include "gishost/model/Layers.h"
#include "engine/Text.h"

#include <ogrsf_frmts.h>


namespace gishost {

using namespace engine;

Map::Map(std::shared_ptr<DataSource> source)
    : source_(std::move(source)), name_(toU16(source_->name()))
{
    GDALDataset& dataset = source_->dataset();
    for (OGRLayer* layer : source_->vectorLayers()) {
        auto featureClass = runtime::make<FeatureClass>(source_, *layer);
        layers_.emplace_back(runtime::make<FeatureLayer>(toU16(layer->GetName()), featureClass).get());
    }
    if (dataset.GetRasterCount() > 0) layers_.emplace_back(runtime::make<RasterLayer>(name_).get());
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
