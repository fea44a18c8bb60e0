#pragma once

// PostgreSQL/PostGIS (GDAL's PostgreSQL driver): the database's own SQL
// (PostgresSql.h) on a session of the engine's own (PostgresSession.h).

namespace engine {

class FormatRegistry;

void registerPostgresFormat(FormatRegistry& formats);

} // namespace engine
