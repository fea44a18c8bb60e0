#pragma once

// What both in-place algorithms share: the layer's table as the add-in
// reaches it inside QGIS (the same refusals, the same engine), with every
// reason a change gives passed to Processing's log.

#include "qgis/model/FeatureClass.h"
#include "qgis/model/GdalStorage.h"

#include <qgsexception.h>

#include <memory>
#include <optional>
#include <vector>

class QgsProcessingFeedback;

namespace qgishost::processing {

class LayerFields {
public:
    LayerFields(QgsVectorLayer& layer, QgsProcessingFeedback* feedback);

    // The layer's fields now; throws when they cannot be read.
    std::vector<hostkit::FieldInfo> fields() const;
    // The attribute field of that name (letter case and blanks aside).
    std::optional<hostkit::FieldInfo> find(const QString& name) const;

    // Each says why in the log when it fails.
    bool add(const hostkit::FieldInfo& field) const;
    bool copy(const QString& from, const QString& to) const;
    bool remove(const QString& name) const;

private:
    bool run(const std::function<HResult()>& change) const;

    QgsProcessingFeedback* feedback_;
    OpenDatasets datasets_;
    ComPtr<FeatureClass> table_;
};

// Stops the algorithm with one of the add-in's texts.
[[noreturn]] void refuse(const QString& why);

} // namespace qgishost::processing
