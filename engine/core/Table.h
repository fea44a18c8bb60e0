#pragma once

// A table of a dataset, by name: its fields, and the three schema changes
// a rename is made of. Each change is all or nothing, waits for another
// program's lock at most lockTimeout(), and explains a refusal (Log.h).

#include "engine/core/Dataset.h"

#include <memory>
#include <string>

class OGRFieldDefn;
class OGRLayer;

namespace engine {

class Table {
public:
    Table(std::shared_ptr<Dataset> dataset, std::string name);

    Dataset& dataset() const noexcept { return *dataset_; }
    const std::string& name() const noexcept { return name_; }

    runtime::HResult schema(std::shared_ptr<const Schema>& out) const;

    // The field's alias travels as its alternative name; `columnType` is
    // a database's own name of the column's type (Field::databaseType).
    runtime::HResult addField(const OGRFieldDefn& field, const std::string& columnType = {}) const;
    runtime::HResult deleteField(const std::string& name) const;
    // Every row's value of one field into another of the same type, read
    // back where the write is not the database's own SQL.
    runtime::HResult copyColumn(const std::string& from, const std::string& to) const;

    // For reading rows: GDAL's view as it is now and the table's layer in
    // it (null when it cannot be read). Holding `dataset` keeps the layer
    // valid; let go of it before the next change, so that no read of it
    // holds a lock the change must wait for.
    struct Rows {
        GdalHandle dataset;
        OGRLayer* layer = nullptr;
    };
    Rows rows() const;

    // For the formats: the table's layer in GDAL's view opened for update.
    runtime::HResult layerForUpdate(GDALDataset*& dataset, OGRLayer*& layer) const;
    // Where the table is as a person names it in a reason.
    std::string displayName() const;

private:
    // After a format's change: what the engine knows of the table follows.
    runtime::HResult settle(runtime::HResult hr) const;

    std::shared_ptr<Dataset> dataset_;
    std::string name_;
};

} // namespace engine
