#include "qgis/processing/Provider.h"

#include "qgis/plugin/Plugin.h"
#include "qgis/processing/DeleteFieldsAlgorithm.h"
#include "qgis/processing/RenameFieldAlgorithm.h"
#include "qgis/processing/Texts.h"

#include <QIcon>

namespace qgishost::processing {

QString Provider::id() const { return text::providerId; }
QString Provider::name() const { return text::providerName; }
QIcon Provider::icon() const { return QIcon(about::icon); }

void Provider::loadAlgorithms()
{
    addAlgorithm(new RenameFieldAlgorithm);
    addAlgorithm(new DeleteFieldsAlgorithm);
}

} // namespace qgishost::processing
