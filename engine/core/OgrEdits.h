#pragma once

// Schema changes and the column copy through GDAL's layer API, inside a
// dataset transaction where the driver has one, for the formats whose own
// code does not do them another way.

#include "runtime/Status.h"

#include <cpl_string.h>

#include <functional>
#include <string>
#include <vector>

class GDALDataset;
class OGRFeature;
class OGRFieldDefn;
class OGRLayer;

namespace engine {

class Table;

// Work done in the same transaction as the change, after it (or before).
using AlsoInTransaction = std::function<runtime::HResult(GDALDataset&, OGRLayer&)>;

// `emulated` accepts a driver's emulated transaction (a backup of the files).
runtime::HResult addFieldByOgr(const Table& table, const OGRFieldDefn& field, bool emulated,
                               const AlsoInTransaction& also = {}, const AlsoInTransaction& first = {});
runtime::HResult deleteFieldByOgr(const Table& table, const std::string& name, bool emulated,
                                  const AlsoInTransaction& also = {});
// Reads and writes every feature whole (a feature read with fields ignored
// would be written with them empty), then reads the two columns back.
runtime::HResult copyColumnByFeature(const Table& table, const std::string& from, const std::string& to);

// Writes every feature back with one field's value copied into another.
runtime::HResult copyEveryRow(OGRLayer& layer, int from, int to);

// Reads only the `kept` fields of the layer while it lives: every other
// field and the geometries are skipped.
class OnlyFields {
public:
    OnlyFields(OGRLayer& layer, const std::vector<int>& kept);
    ~OnlyFields();
    OnlyFields(const OnlyFields&) = delete;
    OnlyFields& operator=(const OnlyFields&) = delete;

private:
    OGRLayer& layer_;
    CPLStringList ignored_;
};

// After the layer created `field`: whether the driver gave it exactly the
// name asked for. Another name (a reserved word, a name it shortens) makes
// a field the rename cannot find again: it is explained, and with `undo`
// the field is deleted again.
bool madeAsNamed(OGRLayer& layer, const OGRFieldDefn& field, bool undo);

// Whether two fields of one feature hold the same value (both null, or
// both unset, count as the same).
bool sameValue(const OGRFeature& feature, int a, int b);

// Reads every row's two columns back; false with the first differing row.
bool columnsMatch(OGRLayer& layer, int a, int b, long long& differingRow);

// Explains a failed change (another program's lock, or GDAL's message)
// and hands the status back.
runtime::HResult explainFailure(const Table& table, const std::string& what, runtime::HResult hr);

} // namespace engine
