#pragma once

// GeoPackage keeps a column's alias in the standard gpkg_data_columns table
// (its `name` column). GDAL 3.6 neither reads nor writes it there, so the
// host does.

#include "runtime/Status.h"

#include <map>
#include <string>

class GDALDataset;

namespace engine {

// Column name to alias; the call fails only when the table cannot be read.
runtime::HResult readGpkgAliases(GDALDataset& dataset, const std::string& table,
                                 std::map<std::string, std::string>& aliases);

// Creates the table (and registers its extension) when the file has none.
runtime::HResult writeGpkgAlias(GDALDataset& dataset, const std::string& table, const std::string& column,
                                const std::string& alias);

// Removes what the table says about a column that is gone.
runtime::HResult forgetGpkgColumn(GDALDataset& dataset, const std::string& table, const std::string& column);

} // namespace engine
