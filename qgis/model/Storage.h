#pragma once

#include "hostkit/FieldInfo.h"

#include <QString>

#include <vector>

namespace qgishost {

using runtime::HResult;
using runtime::S_OK;

// How the fields of one layer's data source are read and changed: through
// GDAL for the files and databases GDAL opens, through the QGIS data
// provider for everything else.
class Storage {
public:
    enum class Change { Add, Delete, Values };

    virtual ~Storage() = default;

    // Object id, geometry, then the attribute fields, as the data source has them.
    virtual HResult fields(std::vector<hostkit::FieldInfo>& out) = 0;
    virtual HResult addField(const hostkit::FieldInfo& field) = 0;
    virtual HResult deleteField(const QString& name) = 0;
    // Every row's value of `source` into `target`, in one pass.
    virtual HResult copyColumn(const QString& source, const QString& target) = 0;
    // S_OK when the data source can make a change of this kind; else the
    // status to answer, with `why` said in words.
    virtual HResult canMake(Change change, QString& why) const = 0;
    // Lets QGIS's layer show what changed on the data source.
    virtual void refresh() = 0;
};

} // namespace qgishost
