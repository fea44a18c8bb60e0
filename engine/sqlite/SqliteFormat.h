#pragma once

// GeoPackage and other SQLite databases (GPKG and SQLite drivers): the
// database's own SQL, each change one transaction, with a GeoPackage's
// column metadata (GpkgAliases.h) changed in the same transactions.

namespace engine {

class FormatRegistry;

void registerSqliteFormats(FormatRegistry& formats);

} // namespace engine
