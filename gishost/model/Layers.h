#pragma once

#include "gishost/model/FeatureClass.h"

namespace gishost {

// A vector layer of a dataset.
class FeatureLayer final : public HostObject<host::ILayer, host::IFeatureLayer> {
public:
    FeatureLayer(std::u16string name, ComPtr<FeatureClass> featureClass)
        : name_(std::move(name)), featureClass_(std::move(featureClass))
    {
    }
    // One answer for both interfaces.
    HResult get_Name(std::u16string* name) noexcept override { return give(name, name_); }
    HResult get_FeatureClass(host::IFeatureClass** featureClass) noexcept override
    {
        return giveObject(featureClass, featureClass_);
    }

private:
    std::u16string name_;
    ComPtr<FeatureClass> featureClass_;
};

} // namespace gishost
