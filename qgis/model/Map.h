#pragma once

#include "hostkit/HostObject.h"
#include "host/ObjectModel.h"

#include <qgsproject.h>

#include <QPointer>

#include <memory>

namespace qgishost {

class OpenDatasets;

using hostkit::giveObject;
using hostkit::HostObject;
using runtime::ComPtr;
using runtime::give;
using runtime::HResult;
using runtime::S_OK;

// The project as one map: its layers as the layer panel lists them, groups
// flattened, read afresh on every call.
class Map final : public HostObject<host::IMap> {
public:
    explicit Map(QgsProject& project);

    // The project's title, else its file's base name, else "Untitled".
    HResult get_Name(std::u16string* name) noexcept override;
    HResult get_LayerCount(std::int32_t* count) noexcept override;
    HResult get_Layer(std::int32_t index, host::ILayer** layer) noexcept override;

private:
    QPointer<QgsProject> project_;
    std::shared_ptr<OpenDatasets> datasets_;
};

} // namespace qgishost
