#pragma once

#include "qgis/model/Storage.h"
#include "gishost/model/DataSource.h"
#include "gishost/model/FeatureClass.h"

#include <QPointer>

#include <memory>

class QgsVectorLayer;

namespace qgishost {

// A layer whose data GDAL opens itself (GeoPackage, shapefile, FileGDB,
// SpatiaLite, ...) changes through the same GDAL code as gishost's: types,
// widths, aliases and defaults kept exactly, the column copied in the
// database's own SQL where it has one, each change made as safely as
// gishost makes it. QGIS then reloads the layer from its source.
class GdalStorage final : public Storage {
public:
    // None when GDAL cannot open the layer's source.
    static std::unique_ptr<GdalStorage> open(QgsVectorLayer& layer);

    HResult fields(std::vector<hostkit::FieldInfo>& out) override;
    HResult addField(const hostkit::FieldInfo& field) override;
    HResult deleteField(const QString& name) override;
    HResult copyColumn(const QString& source, const QString& target) override;
    QString whyReadOnly() const override;
    void refresh() override;

private:
    GdalStorage(QgsVectorLayer& layer, std::shared_ptr<gishost::DataSource> source,
                runtime::ComPtr<gishost::FeatureClass> table);

    QPointer<QgsVectorLayer> layer_;
    std::shared_ptr<gishost::DataSource> source_;
    runtime::ComPtr<gishost::FeatureClass> table_;
};

} // namespace qgishost
