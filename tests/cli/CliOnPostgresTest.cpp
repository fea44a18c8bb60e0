// The quillet program on a PostGIS table of the throwaway server: the
// database's own types, defaults, not-null constraints and comments stay
// with a renamed column; the table is read back with libpq.

#include "CliRun.h"
#include "PgServer.h"

#include "cli/Texts.h"
#include "fieldrules/FieldRules.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using clitest::quillet;

const char* const sitesTable = R"(
CREATE TYPE site_kind AS ENUM ('well', 'spring');
CREATE TABLE sites (
  id serial PRIMARY KEY,
  geom geometry(Point, 4326),
  f_name character varying(40) NOT NULL DEFAULT 'none',
  f_kind site_kind DEFAULT 'spring',
  f_depth numeric(8,2),
  f_since interval,
  f_local timestamp without time zone,
  f_note text);
COMMENT ON COLUMN sites.f_name IS 'Site''s "name"';
INSERT INTO sites (geom, f_name, f_kind, f_depth, f_since, f_local, f_note)
SELECT ST_SetSRID(ST_MakePoint(i * 0.01, 45 + i * 0.001), 4326), 'Site ' || i || ' ñ',
  (ARRAY['well', 'spring'])[1 + i % 2]::site_kind, CASE WHEN i % 5 = 0 THEN NULL ELSE i * 1.25 END,
  i * interval '1 hour', timestamp '2001-02-03 04:05:06.789' + i * interval '1 day', repeat('n', i % 3)
FROM generate_series(1, 500) i;
)";

class CliOnPostgres : public pgtest::TablesTest {
protected:
    CliOnPostgres() : TablesTest(sitesTable) {}
};

TEST_F(CliOnPostgres, RenamesAndDeletesKeepingTheColumnsDefinitionsAndValues)
{
    const pgtest::Snapshot before = pgtest::snapshot(*db, "sites");
    const std::string source = gdalConnection();
    for (const auto& [from, to] : {std::pair{"f_name", "Name"}, {"f_kind", "kind"}, {"f_since", "since"}}) {
        const clitest::Run run = quillet({"rename", from, to, source, "--layer", "sites"});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_NE(run.out.find(cli::text::oneLine(fieldrules::renamed)), std::string::npos) << run.out;
    }
    const clitest::Run deleted = quillet({"delete", "f_depth,f_note", source, "--layer", "sites"});
    EXPECT_EQ(deleted.exitCode, 0) << deleted.err;

    const pgtest::Snapshot expected =
        pgtest::changed(before, {"f_depth", "f_note"}, {{"f_name", "Name"}, {"f_kind", "kind"}, {"f_since", "since"}});
    const pgtest::Snapshot after = pgtest::snapshot(*db, "sites");
    EXPECT_EQ(after.columns, expected.columns);
    EXPECT_EQ(after.rows, expected.rows);
    EXPECT_EQ(pgtest::oursLeft(*db), "0");
}

// Another session reads the table in a long transaction: the rename gives
// up at the bound with the exit code of a lock, and the table is as it was.
TEST_F(CliOnPostgres, ALockHeldPastTheBoundIsExitCodeThree)
{
    const pgtest::Snapshot before = pgtest::snapshot(*db, "sites");
    pgtest::Session reader = session();
    reader.exec("BEGIN; SELECT count(*) FROM sites");
    const auto start = std::chrono::steady_clock::now();
    const clitest::Run run =
        quillet({"rename", "--lock-timeout", "0.5", "-l", "sites", "f_note", "note", gdalConnection()});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(8));
    reader.exec("ROLLBACK");
    EXPECT_EQ(run.exitCode, 3) << run.err;
    EXPECT_NE(run.err.find(cli::text::oneLine(fieldrules::addFieldFailed("f_note"))), std::string::npos) << run.err;
    const pgtest::Snapshot after = pgtest::snapshot(*db, "sites");
    EXPECT_EQ(after.columns, before.columns);
    EXPECT_EQ(after.rows, before.rows);
}

// Another session holds the table locked while the source is opened: GDAL
// would read it as a table without fields; it is a lock, and nothing changes.
TEST_F(CliOnPostgres, ATableLockedWhenOpenedIsExitCodeThree)
{
    const pgtest::Snapshot before = pgtest::snapshot(*db, "sites");
    pgtest::Session holder = session();
    holder.exec("BEGIN; LOCK TABLE sites IN ACCESS EXCLUSIVE MODE");
    const clitest::Run run =
        quillet({"rename", "--lock-timeout", "0.5", "-l", "sites", "f_note", "note", gdalConnection()});
    holder.exec("ROLLBACK");
    EXPECT_EQ(run.exitCode, 3) << run.err;
    const pgtest::Snapshot after = pgtest::snapshot(*db, "sites");
    EXPECT_EQ(after.columns, before.columns);
    EXPECT_EQ(after.rows, before.rows);
}

} // namespace
