#pragma once

#include "qgis/model/Map.h"
#include "qgis/model/Storage.h"

#include <qgsvectorlayer.h>

#include <memory>

namespace qgishost {

class OpenDatasets;

// The table behind a vector layer; it is also its attribute table. A change
// is refused, with the reason on QGIS's message bar, while the layer has
// unsaved edits or its data source cannot make it; after a change the layer
// shows the new fields at once.
class FeatureClass final : public HostObject<host::IFeatureClass, host::IAttributeTable> {
public:
    FeatureClass(QgsVectorLayer& layer, OpenDatasets& datasets);
    ~FeatureClass() override;

    HResult get_Fields(host::IFieldCollection** fields) noexcept override;
    HResult AddField(host::IFieldDefinition* field) noexcept override;
    HResult DeleteField(host::IFieldDefinition* field) noexcept override;
    HResult Search(runtime::IUnknown* filter, bool recycling, host::IRowCursor** cursor) noexcept override;

    // The fields as the data source has them; an alias given in QGIS wins.
    HResult fields(std::vector<hostkit::FieldInfo>& out);
    HResult copyColumn(const QString& source, const QString& target);
    HResult addField(const hostkit::FieldInfo& info);
    HResult deleteField(const QString& name);

private:
    using Change = Storage::Change;
    // Fails, saying why, when the layer may not change now.
    HResult allowed(Change change) const;

    QPointer<QgsVectorLayer> layer_;
    std::unique_ptr<Storage> storage_;
};

} // namespace qgishost
