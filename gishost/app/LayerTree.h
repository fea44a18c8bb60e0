#pragma once

#include "host/ObjectModel.h"

#include <Qt>

class QTreeWidget;

namespace gishost {

// Shows the document's maps, their layers and each feature layer's fields
// (name, alias, type, length), read through the host's own interfaces.
// A feature layer's item holds the layer's name in `layerNameRole`.
void fillLayerTree(QTreeWidget& tree, host::IMapDocument& document);

inline constexpr int layerNameRole = Qt::UserRole;

} // namespace gishost
