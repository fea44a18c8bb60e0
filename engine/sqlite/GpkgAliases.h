#pragma once

// GeoPackage describes a column in the standard gpkg_data_columns table: its
// alias (the `name` column), title, description, MIME type and constraint
// name. GDAL 3.6 neither reads nor writes the alias there, so the host does.
// The GeoPackage standard defines the table with each alias once per table;
// older files may keep it once per file, or repeat it freely.

#include "runtime/Status.h"

#include <map>
#include <string>

class GDALDataset;

namespace engine {

// Column name to alias; the call fails only when the table cannot be read.
runtime::HResult readGpkgAliases(GDALDataset& dataset, const std::string& table,
                                 std::map<std::string, std::string>& aliases);

// Creates the schema extension's tables, as the GeoPackage standard defines
// them, and registers the extension, where the file has none.
runtime::HResult createGpkgDataColumns(GDALDataset& dataset);

// Creates the table first where the file has none (createGpkgDataColumns).
// Where the file keeps an alias once per table and another column of the
// table holds it, the alias moves: `movedFrom` names that column (empty when
// nothing moved).
runtime::HResult writeGpkgAlias(GDALDataset& dataset, const std::string& table, const std::string& column,
                                const std::string& alias, std::string* movedFrom = nullptr);

// Gives `column` back an alias that moved away from it, unless its row has
// taken another one since or another column holds it now.
runtime::HResult returnGpkgAlias(GDALDataset& dataset, const std::string& table, const std::string& column,
                                 const std::string& alias);

// What describes the values of `from` (title, description, MIME type,
// constraint name) describes them in `to` too, once copied; `to`'s own
// description is kept where it says something else.
runtime::HResult carryGpkgDescription(GDALDataset& dataset, const std::string& table, const std::string& from,
                                      const std::string& to);

// Removes what the table says about a column that is gone.
runtime::HResult forgetGpkgColumn(GDALDataset& dataset, const std::string& table, const std::string& column);

} // namespace engine
