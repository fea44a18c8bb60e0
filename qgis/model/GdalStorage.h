#pragma once

#include "qgis/model/Storage.h"
#include "gdalhost/TableFields.h"

#include <QPointer>

#include <map>
#include <memory>
#include <utility>

class QgsVectorLayer;

namespace qgishost {

// The engine's datasets that the project's layers read, one per source: a
// dataset is opened (crash recovery, every table's fields) once, not once
// per layer and per call. It is let go once no layer reads that source.
class OpenDatasets {
public:
    // Null with `problem` set when the engine cannot open `path`; `anew`
    // opens it again (a table was made since), else the one open is given.
    std::shared_ptr<engine::Dataset> open(QgsVectorLayer& layer, const std::string& path, bool anew,
                                          std::string& problem);
    // Whether `path` is open.
    bool isOpen(const std::string& path) const { return entries_.count(path) > 0; }

private:
    struct Entry {
        std::shared_ptr<engine::Dataset> dataset;
        // Each layer that reads the dataset, with its source when it did.
        std::vector<std::pair<QPointer<QgsVectorLayer>, QString>> readers;
    };
    void forgetUnread();

    std::map<std::string, Entry> entries_;
};

// A layer whose data GDAL opens itself (GeoPackage, shapefile, FileGDB,
// SpatiaLite, PostgreSQL, ...) changes through the data engine, as in
// gishost: types, widths, aliases and defaults kept exactly, each change
// all or nothing and safe from a crash in the way of its format. QGIS then
// reloads the layer from its source.
class GdalStorage final : public Storage {
public:
    // None when GDAL cannot open the layer's source; for a layer that must
    // not change otherwise (a database's), `whyNot` then says why.
    static std::unique_ptr<GdalStorage> open(QgsVectorLayer& layer, OpenDatasets& datasets, QString& whyNot);

    HResult fields(std::vector<hostkit::FieldInfo>& out) override;
    HResult addField(const hostkit::FieldInfo& field) override;
    HResult deleteField(const QString& name) override;
    HResult copyColumn(const QString& source, const QString& target) override;
    // The engine decides: data it would not write is read-only.
    HResult canMake(Change change, QString& why) const override;
    void refresh() override;

private:
    GdalStorage(QgsVectorLayer& layer, engine::Table table, QString encoding);

    const engine::Table& table() const noexcept { return table_.table(); }

    QPointer<QgsVectorLayer> layer_;
    gdalhost::TableFields table_;
    // A shapefile's encoding as QGIS reads it; empty for other data.
    QString encoding_;
};

} // namespace qgishost
