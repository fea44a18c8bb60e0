#pragma once

// The throwaway server the test command starts (tests/postgres/test-server),
// and connections of the tests' own through libpq, independent of GDAL and
// of gishost, to build tables and to check what is in them.

#include <gtest/gtest.h>

#include <libpq-fe.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pgtest {

using Cell = std::optional<std::string>; // nullopt for NULL
using Row = std::vector<Cell>;
using Rows = std::vector<Row>;

// One libpq connection; every call throws when the database reports an error.
class Session {
public:
    explicit Session(const std::string& conninfo);

    void exec(const std::string& sql);
    Rows query(const std::string& sql);
    // The first column of the first row.
    Cell value(const std::string& sql);
    // `text` as an SQL name or string, quoted by libpq.
    std::string identifier(const std::string& text);
    std::string literal(const std::string& text);

private:
    std::unique_ptr<PGconn, void (*)(PGconn*)> conn_;
};

// A table as the database holds it: each column's type, default, not-null
// flag and comment, and by id each row's values in the database's text form
// (geometries as EWKB).
struct Snapshot {
    std::map<std::string, Row> columns;
    std::map<std::string, std::map<std::string, Cell>> rows;
};
// `table` is quoted as SQL names it; the table has an "id" column.
Snapshot snapshot(Session& session, const std::string& table);

// `before` after the columns `dropped` were dropped and each of `renamed`
// (old name, new name) renamed, keeping its definition and values.
Snapshot changed(Snapshot before, const std::vector<std::string>& dropped,
                 const std::vector<std::pair<std::string, std::string>>& renamed);

// How many triggers and functions of Quillet's the database holds.
Cell oursLeft(Session& session);

// Where the server script keeps its state: $QUILLET_PG_STATE, else the
// build tree's folder.
std::string stateFolder();

// libpq keywords (host, port, user, password) of the server's superuser,
// or nullopt with `why` set when the test command started no server.
std::optional<std::string> serverConninfo(std::string& why);
// The password file the server's superuser connects with.
std::string passFile();

// A database of its own, made from the PostGIS template and dropped, with
// the roles made for it, when this goes. Without a server the current test
// is skipped, or fails when CI=true; available() then says no.
class Database {
public:
    Database();
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    bool available() const { return !name_.empty(); }
    const std::string& name() const { return name_; }
    // libpq keywords of the database, without the password, and the same as
    // a GDAL connection string ("PG:...").
    std::string conninfo() const;
    std::string gdalConnection() const { return "PG:" + conninfo(); }
    Session session() const;
    // A role that logs in with `password`, named after the database; its
    // rights are the caller's to grant.
    std::string addRole(const std::string& suffix, const std::string& password);

private:
    Session admin() const;

    std::string server_;
    std::string name_;
    std::vector<std::string> roles_;
};

// A test with a database of its own.
class DatabaseTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::string conninfo() const { return database_->conninfo(); }
    std::string gdalConnection() const { return database_->gdalConnection(); }
    Session session() const { return database_->session(); }
    std::string addRole(const std::string& suffix, const std::string& password)
    {
        return database_->addRole(suffix, password);
    }
    const std::string& database() const { return database_->name(); }

private:
    std::optional<Database> database_;
};

// A test with a database of its own holding the tables `sql` makes, and a
// session of the test's own on it.
class TablesTest : public DatabaseTest {
protected:
    explicit TablesTest(std::string sql) : sql_(std::move(sql)) {}
    void SetUp() override;
    void TearDown() override;

    std::optional<Session> db;

private:
    std::string sql_;
};

} // namespace pgtest
