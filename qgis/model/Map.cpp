#include "qgis/model/Map.h"

#include "qgis/model/GdalStorage.h"
#include "qgis/model/Layers.h"
#include "hostkit/PlainLayer.h"

#include <qgslayertree.h>
#include <qgsproject.h>
#include <qgsvectorlayer.h>

namespace qgishost {

namespace {

QList<QgsLayerTreeLayer*> treeLayers(QgsProject* project)
{
    return project ? project->layerTreeRoot()->findLayers() : QList<QgsLayerTreeLayer*>();
}

} // namespace

Map::Map(QgsProject& project) : project_(&project), datasets_(std::make_shared<OpenDatasets>()) {}

HResult Map::get_Name(std::u16string* name) noexcept
{
    if (!project_) return runtime::E_FAIL;
    QString text = project_->title();
    if (text.isEmpty()) text = project_->baseName();
    if (text.isEmpty()) text = QStringLiteral("Untitled");
    return give(name, text.toStdU16String());
}

HResult Map::get_LayerCount(std::int32_t* count) noexcept
{
    if (!project_) return runtime::E_FAIL;
    return give(count, static_cast<std::int32_t>(treeLayers(project_).size()));
}

HResult Map::get_Layer(std::int32_t index, host::ILayer** layer) noexcept
{
    if (!layer) return runtime::E_POINTER;
    return runtime::guarded([&] {
        const QList<QgsLayerTreeLayer*> nodes = treeLayers(project_);
        if (index < 0 || index >= nodes.size()) return runtime::E_INVALIDARG;
        const QgsLayerTreeLayer& node = *nodes.at(index);
        const std::u16string name = node.name().toStdU16String();
        if (auto* vector = qobject_cast<QgsVectorLayer*>(node.layer()))
            return giveObject(layer, runtime::make<FeatureLayer>(name, *vector, datasets_));
        return giveObject(layer, runtime::make<hostkit::PlainLayer>(name));
    });
}

} // namespace qgishost
