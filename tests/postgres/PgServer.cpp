#include "PgServer.h"
#include "Renamed.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <unistd.h>

namespace pgtest {

namespace {

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    std::string s = text.str();
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

// The password is the last field of the pgpass line the server script wrote.
std::string superuserPassword()
{
    const std::string line = readFile(passFile());
    return line.substr(line.rfind(':') + 1);
}

std::string message(PGconn* conn) { return PQerrorMessage(conn); }

// Fails the current test under CI=true, where a server must run; else skips it.
void skipOrFail(const std::string& why)
{
    const char* ci = std::getenv("CI");
    if (ci && std::string(ci) == "true") FAIL() << why;
    GTEST_SKIP() << why;
}

} // namespace

Session::Session(const std::string& conninfo) : conn_(PQconnectdb(conninfo.c_str()), PQfinish)
{
    if (PQstatus(conn_.get()) != CONNECTION_OK) throw std::runtime_error("cannot connect: " + message(conn_.get()));
}

Rows Session::query(const std::string& sql)
{
    std::unique_ptr<PGresult, void (*)(PGresult*)> result(PQexec(conn_.get(), sql.c_str()), PQclear);
    const ExecStatusType status = PQresultStatus(result.get());
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
        throw std::runtime_error(sql + ": " + message(conn_.get()));
    Rows rows;
    for (int r = 0; r < PQntuples(result.get()); ++r) {
        Row& row = rows.emplace_back();
        for (int c = 0; c < PQnfields(result.get()); ++c)
            row.push_back(PQgetisnull(result.get(), r, c) ? Cell() : Cell(PQgetvalue(result.get(), r, c)));
    }
    return rows;
}

void Session::exec(const std::string& sql) { query(sql); }

Cell Session::value(const std::string& sql)
{
    const Rows rows = query(sql);
    if (rows.empty() || rows.front().empty()) throw std::runtime_error(sql + ": no rows");
    return rows.front().front();
}

std::string Session::identifier(const std::string& text)
{
    const std::unique_ptr<char, void (*)(void*)> quoted(PQescapeIdentifier(conn_.get(), text.data(), text.size()), PQfreemem);
    if (!quoted) throw std::runtime_error("cannot quote " + text + ": " + message(conn_.get()));
    return quoted.get();
}

std::string Session::literal(const std::string& text)
{
    const std::unique_ptr<char, void (*)(void*)> quoted(PQescapeLiteral(conn_.get(), text.data(), text.size()), PQfreemem);
    if (!quoted) throw std::runtime_error("cannot quote " + text + ": " + message(conn_.get()));
    return quoted.get();
}

std::string stateFolder()
{
    if (const char* env = std::getenv("QUILLET_PG_STATE")) return env;
    return QUILLET_PG_STATE;
}

Snapshot snapshot(Session& session, const std::string& table)
{
    Snapshot out;
    const Rows columns = session.query(
        "SELECT a.attname, format_type(a.atttypid, a.atttypmod), pg_get_expr(d.adbin, d.adrelid), a.attnotnull::text, "
        "col_description(a.attrelid, a.attnum) FROM pg_attribute a LEFT JOIN pg_attrdef d ON d.adrelid = a.attrelid "
        "AND d.adnum = a.attnum WHERE a.attrelid = " + session.literal(table) + "::regclass AND a.attnum > 0 AND NOT a.attisdropped "
        "ORDER BY a.attnum");
    std::string select;
    for (const Row& c : columns) {
        out.columns[*c[0]] = Row(c.begin() + 1, c.end());
        select += (select.empty() ? "" : ", ") + session.identifier(*c[0]) + "::text";
    }
    for (const Row& r : session.query("SELECT id::text, " + select + " FROM " + table)) {
        auto& row = out.rows[*r[0]];
        for (std::size_t i = 0; i < columns.size(); ++i) row[*columns[i][0]] = r[i + 1];
    }
    return out;
}

Snapshot changed(Snapshot s, const std::vector<std::string>& dropped,
                 const std::vector<std::pair<std::string, std::string>>& renamed)
{
    gistest::deleteAndRename(s.columns, s.rows, dropped, renamed);
    return s;
}

std::optional<std::string> serverConninfo(std::string& why)
{
    const std::string folder = stateFolder();
    if (const std::string unavailable = readFile(folder + "/unavailable"); !unavailable.empty()) {
        why = unavailable;
        return std::nullopt;
    }
    const std::string conninfo = readFile(folder + "/conninfo");
    if (conninfo.empty()) {
        why = "no test server was started (" + folder + "/conninfo is missing): run the tests through ctest";
        return std::nullopt;
    }
    return conninfo;
}

std::string passFile() { return stateFolder() + "/pgpass"; }

Database::Database()
{
    std::string why;
    const auto server = serverConninfo(why);
    if (!server) {
        skipOrFail(why);
        return;
    }
    server_ = *server;
    // The hosts find the password where a user keeps it.
    setenv("PGPASSFILE", passFile().c_str(), 1);
    unsetenv("PGPASSWORD");
    static int serial = 0;
    name_ = "quillet_" + std::to_string(getpid()) + "_" + std::to_string(++serial);
    admin().exec("CREATE DATABASE " + name_ + " TEMPLATE quillet_template");
}

Database::~Database()
{
    if (!available()) return;
    Session admin = this->admin();
    admin.exec("DROP DATABASE IF EXISTS " + name_ + " WITH (FORCE)");
    for (const std::string& role : roles_) admin.exec("DROP ROLE IF EXISTS " + role);
}

Session Database::admin() const { return Session(server_ + " password=" + superuserPassword() + " dbname=postgres"); }

std::string Database::conninfo() const { return server_ + " dbname=" + name_; }

Session Database::session() const { return Session(conninfo() + " password=" + superuserPassword()); }

std::string Database::addRole(const std::string& suffix, const std::string& password)
{
    const std::string role = name_ + "_" + suffix;
    Session admin = this->admin();
    admin.exec("CREATE ROLE " + role + " LOGIN PASSWORD " + admin.literal(password));
    roles_.push_back(role);
    return role;
}

void DatabaseTest::SetUp()
{
    database_.emplace();
}

void DatabaseTest::TearDown() { database_.reset(); }

void TablesTest::SetUp()
{
    DatabaseTest::SetUp();
    if (IsSkipped() || HasFailure()) return;
    db.emplace(session());
    db->exec(sql_);
}

void TablesTest::TearDown()
{
    db.reset();
    DatabaseTest::TearDown();
}

Cell oursLeft(Session& session)
{
    return session.value("SELECT (SELECT count(*) FROM pg_trigger WHERE tgname LIKE 'quillet%') + "
                         "(SELECT count(*) FROM pg_proc WHERE proname LIKE 'quillet%')");
}

} // namespace pgtest
