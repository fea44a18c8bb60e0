#pragma once

#include "qgis/model/FeatureClass.h"

#include <memory>

namespace qgishost {

// A vector layer of the project.
class FeatureLayer final : public HostObject<host::ILayer, host::IFeatureLayer> {
public:
    FeatureLayer(std::u16string name, QgsVectorLayer& layer, std::shared_ptr<OpenDatasets> datasets)
        : name_(std::move(name)), layer_(&layer), datasets_(std::move(datasets))
    {
    }

    // One answer for both interfaces.
    HResult get_Name(std::u16string* name) noexcept override { return give(name, name_); }
    // None when the layer's data cannot be read.
    HResult get_FeatureClass(host::IFeatureClass** featureClass) noexcept override
    {
        if (!featureClass) return runtime::E_POINTER;
        return runtime::guarded([&] {
            if (!layer_ || !layer_->isValid()) return giveObject(featureClass, ComPtr<FeatureClass>());
            return giveObject(featureClass, runtime::make<FeatureClass>(*layer_, *datasets_));
        });
    }

private:
    std::u16string name_;
    QPointer<QgsVectorLayer> layer_;
    // The map's, which may go first.
    std::shared_ptr<OpenDatasets> datasets_;
};

} // namespace qgishost
