#pragma once

// What both in-place algorithms share: they run on QGIS's main thread (they
// change a project layer), take the layer as INPUT and give it back as
// OUTPUT, changed.

#include "qgis/model/QgisCompat.h"

#include <qgsprocessingalgorithm.h>

class QgsVectorLayer;

namespace qgishost::processing {

class InPlaceAlgorithm : public QgsProcessingAlgorithm {
public:
    compat::AlgorithmFlags flags() const override;

protected:
    inline static const QString input = QStringLiteral("INPUT");

    // The INPUT layer parameter; the algorithm's own follow, then OUTPUT.
    void addLayerParameter();
    void addLayerOutput();
    // The INPUT layer; stops the algorithm when there is none.
    QgsVectorLayer& layerOf(const QVariantMap& parameters, QgsProcessingContext& context) const;
    // What the algorithm answers once the layer changed.
    static QVariantMap changed(const QgsVectorLayer& layer);
};

} // namespace qgishost::processing
