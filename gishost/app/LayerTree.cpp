#include "gishost/app/LayerTree.h"

#include "gdalhost/FieldTypes.h"
#include "gishost/model/Map.h"
#include "runtime/ComPtr.h"

#include <QTreeWidget>

namespace gishost {

using gdalhost::typeName;

using runtime::ComPtr;

namespace {

enum Column { nameColumn, aliasColumn, typeColumn, lengthColumn };

QString text(const std::u16string& s) { return QString::fromStdU16String(s); }

template <class T>
QString readName(T& object)
{
    std::u16string name;
    return runtime::succeeded(object.get_Name(&name)) ? text(name) : QStringLiteral("(unreadable)");
}

void addField(QTreeWidgetItem& parent, host::IFieldDefinition& field)
{
    std::u16string alias;
    std::int32_t type = -1;
    std::int32_t length = 0;
    field.get_AliasName(&alias);
    field.get_Type(&type);
    field.get_Length(&length);
    auto* item = new QTreeWidgetItem(&parent);
    item->setText(nameColumn, readName(field));
    item->setText(aliasColumn, text(alias));
    item->setText(typeColumn, QStringLiteral("%1 (%2)").arg(QString::fromUtf8(typeName(type))).arg(type));
    item->setText(lengthColumn, length ? QString::number(length) : QString());
}

void addLayer(QTreeWidgetItem& parent, host::ILayer& layer)
{
    auto* item = new QTreeWidgetItem(&parent);
    item->setText(nameColumn, readName(layer));
    const auto featureLayer = ComPtr<host::ILayer>(&layer).asOrNull<host::IFeatureLayer>();
    if (!featureLayer) {
        item->setText(typeColumn, QStringLiteral("Raster layer"));
        return;
    }
    item->setText(typeColumn, QStringLiteral("Feature layer"));
    item->setData(nameColumn, layerNameRole, item->text(nameColumn));
    ComPtr<host::IFeatureClass> featureClass;
    ComPtr<host::IFieldCollection> fields;
    std::int32_t count = 0;
    if (runtime::failed(featureLayer->get_FeatureClass(featureClass.put())) || !featureClass ||
        runtime::failed(featureClass->get_Fields(fields.put())) || runtime::failed(fields->get_FieldCount(&count)))
        return;
    for (std::int32_t i = 0; i < count; ++i) {
        ComPtr<host::IFieldDefinition> field;
        if (runtime::succeeded(fields->get_Field(i, field.put()))) addField(*item, *field);
    }
}

void addMap(QTreeWidget& tree, host::IMap& map)
{
    auto* item = new QTreeWidgetItem(&tree);
    item->setText(nameColumn, readName(map));
    // Data that cannot be written is shown as such, not refused.
    const auto* ours = dynamic_cast<const Map*>(&map);
    const bool readOnly = ours && ours->dataset()->readOnly();
    item->setText(typeColumn, readOnly ? QStringLiteral("Map (read-only)") : QStringLiteral("Map"));
    std::int32_t count = 0;
    map.get_LayerCount(&count);
    for (std::int32_t i = 0; i < count; ++i) {
        ComPtr<host::ILayer> layer;
        if (runtime::succeeded(map.get_Layer(i, layer.put()))) addLayer(*item, *layer);
    }
    item->setExpanded(true);
}

} // namespace

void fillLayerTree(QTreeWidget& tree, host::IMapDocument& document)
{
    tree.clear();
    tree.setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Alias"), QStringLiteral("Type"),
                          QStringLiteral("Length")});
    ComPtr<host::IMapCollection> maps;
    std::int32_t count = 0;
    if (runtime::failed(document.get_Maps(maps.put())) || runtime::failed(maps->get_Count(&count))) return;
    for (std::int32_t i = 0; i < count; ++i) {
        ComPtr<host::IMap> map;
        if (runtime::succeeded(maps->get_Item(i, map.put()))) addMap(tree, *map);
    }
}

} // namespace gishost
