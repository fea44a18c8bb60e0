#pragma once

// "Rename field (in place)": the add-in's rename of one field of a layer
// (a new field like the old one, every value copied, the old one deleted),
// on the layer's own data rather than a new layer.

#include "qgis/processing/InPlaceAlgorithm.h"

namespace qgishost::processing {

class RenameFieldAlgorithm final : public InPlaceAlgorithm {
public:
    QString name() const override;
    QString displayName() const override;
    QString shortHelpString() const override;
    QgsProcessingAlgorithm* createInstance() const override { return new RenameFieldAlgorithm; }

protected:
    void initAlgorithm(const QVariantMap& configuration) override;
    QVariantMap processAlgorithm(const QVariantMap& parameters, QgsProcessingContext& context,
                                 QgsProcessingFeedback* feedback) override;
};

} // namespace qgishost::processing
