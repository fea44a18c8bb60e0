#pragma once

// The standard table as the PostGIS table "standard", written and read back
// with libpq alone, past every host and GDAL.

#include "HostContract.h"
#include "PgServer.h"

#include <string>
#include <vector>

namespace conformance {

void writeStandardTable(pgtest::Session& db);

std::vector<Variant> readColumn(pgtest::Session& db, const std::u16string& field);

// libpq keywords, password included, of a role that may read the table and
// nothing else: data nobody who connects so may write.
std::string readerConninfo(pgtest::Database& database);

} // namespace conformance
