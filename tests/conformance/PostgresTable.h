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

// PostgreSQL keeps every type code and property: nothing differs.
Profile postgresProfile();

// A host over a database (Host::ready() says whether the server runs):
// without a server the case is skipped, or fails under CI=true.
template <class Host>
HostFactory databaseHost(std::function<long()> liveObjects)
{
    return {"PostGIS",
            []() -> std::unique_ptr<HostUnderTest> {
                auto host = std::make_unique<Host>();
                return host->ready() ? std::move(host) : nullptr;
            },
            std::move(liveObjects), postgresProfile()};
}

} // namespace conformance
