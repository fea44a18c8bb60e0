#pragma once

#include "host/ObjectModel.h"

class QTreeWidget;

namespace gishost {

// Shows the document's maps, their layers and each feature layer's fields
// (name, alias, type, length), read through the host's own interfaces.
void fillLayerTree(QTreeWidget& tree, host::IMapDocument& document);

} // namespace gishost
