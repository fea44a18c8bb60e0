#pragma once

// "Delete fields (in place)": the add-in's deletion of fields, with their
// values, from the layer's own data.

#include "qgis/processing/InPlaceAlgorithm.h"

namespace qgishost::processing {

class DeleteFieldsAlgorithm final : public InPlaceAlgorithm {
public:
    QString name() const override;
    QString displayName() const override;
    QString shortHelpString() const override;
    QgsProcessingAlgorithm* createInstance() const override { return new DeleteFieldsAlgorithm; }

protected:
    void initAlgorithm(const QVariantMap& configuration) override;
    QVariantMap processAlgorithm(const QVariantMap& parameters, QgsProcessingContext& context,
                                 QgsProcessingFeedback* feedback) override;
};

} // namespace qgishost::processing
