#pragma once

// Quillet's algorithms in QGIS's Processing toolbox, batch mode and models,
// while the plugin is loaded.

#include <qgsprocessingprovider.h>

namespace qgishost::processing {

class Provider final : public QgsProcessingProvider {
public:
    QString id() const override;
    QString name() const override;
    QIcon icon() const override;

protected:
    void loadAlgorithms() override;
};

} // namespace qgishost::processing
