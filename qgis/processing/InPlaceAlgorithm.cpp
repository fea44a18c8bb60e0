#include "qgis/processing/InPlaceAlgorithm.h"

#include "qgis/processing/LayerFields.h"
#include "qgis/processing/Texts.h"

#include <qgsprocessingoutputs.h>
#include <qgsprocessingparameters.h>
#include <qgsvectorlayer.h>

namespace qgishost::processing {

namespace {
const QString output = QStringLiteral("OUTPUT");
} // namespace

compat::AlgorithmFlags InPlaceAlgorithm::flags() const { return QgsProcessingAlgorithm::flags() | compat::noThreading; }

void InPlaceAlgorithm::addLayerParameter()
{
    addParameter(new QgsProcessingParameterVectorLayer(input, text::inputLayer));
}

void InPlaceAlgorithm::addLayerOutput() { addOutput(new QgsProcessingOutputVectorLayer(output, text::changedLayer)); }

QgsVectorLayer& InPlaceAlgorithm::layerOf(const QVariantMap& parameters, QgsProcessingContext& context) const
{
    QgsVectorLayer* layer = parameterAsVectorLayer(parameters, input, context);
    if (!layer) refuse(invalidSourceError(parameters, input));
    return *layer;
}

QVariantMap InPlaceAlgorithm::changed(const QgsVectorLayer& layer) { return {{output, layer.id()}}; }

} // namespace qgishost::processing
