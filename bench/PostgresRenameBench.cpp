// Renames a field of a PostGIS table with a million rows through the real
// dialog on gishost, and reports it against the same three statements (add,
// copy, drop) run by psql, measured in the same run on the same table.
//
//   postgres_rename_bench [ROWS]
//
// Without QUILLET_PG_STATE it starts a throwaway server of its own with
// tests/postgres/test-server and stops it at the end.

#include "GisTestSupport.h"
#include "PgServer.h"

#include <gdal_priv.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>

#include <unistd.h>

namespace {

double seconds(const std::function<void()>& run)
{
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A server for the length of the run, unless one was given.
struct Server {
    std::string folder;

    Server()
    {
        if (std::getenv("QUILLET_PG_STATE")) return;
        char folderTemplate[] = "/tmp/quillet-bench-pg-XXXXXX";
        folder = mkdtemp(folderTemplate);
        setenv("QUILLET_PG_STATE", folder.c_str(), 1);
        setenv("CI", "true", 1); // no server is a failure here
        if (std::system(("bash " QUILLET_PG_SERVER_SCRIPT " start " + folder).c_str()) != 0)
            throw std::runtime_error("the server did not start");
    }
    ~Server()
    {
        if (folder.empty()) return;
        std::system(("bash " QUILLET_PG_SERVER_SCRIPT " stop " + folder).c_str());
        std::filesystem::remove_all(folder);
    }
};

std::string readLine(const std::string& path)
{
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "r")) {
        char buffer[512] = {};
        if (std::fgets(buffer, sizeof buffer, f)) text = buffer;
        std::fclose(f);
    }
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
}

void makeTable(const std::string& database, int rows)
{
    pgtest::Session db(database);
    db.exec("CREATE TABLE parcels (id serial PRIMARY KEY, geom geometry(Polygon, 4326), code integer, "
            "owner character varying(60) DEFAULT 'nobody', area double precision)");
    db.exec("INSERT INTO parcels (geom, code, owner, area) SELECT ST_Buffer(ST_SetSRID(ST_MakePoint(i % 3600 / 10.0 "
            "- 180, i / 3600 % 1700 / 10.0 - 85), 4326), 0.04, 2), i, CASE WHEN i % 9 = 0 THEN NULL ELSE "
            "'owner ' || i END, i * 0.25 FROM generate_series(1, " +
            std::to_string(rows) + ") i");
}

struct Times {
    double psql = 1e300;
    double dialog = 1e300;
};

// The two take turns renaming the same field of the same table, compacted
// before each run; the fastest of three counts.
Times measure(const std::string& database)
{
    const std::string psql = readLine(pgtest::stateFolder() + "/bin") + "/psql";
    pgtest::Session db(database);
    const gistest::Host host({"PG:" + database});
    gistest::Dialog dialog;
    std::string field = "owner";
    int serial = 0;
    const auto byPsql = [&] {
        const std::string to = "owner" + std::to_string(++serial);
        const std::string command =
            psql + " -X -q -v ON_ERROR_STOP=1 \"" + database + "\" -c 'ALTER TABLE parcels ADD COLUMN " + to +
            " character varying(60) DEFAULT $$nobody$$' -c 'UPDATE parcels SET " + to + " = " + field +
            "' -c 'ALTER TABLE parcels DROP COLUMN " + field + "'";
        if (std::system(command.c_str()) != 0) throw std::runtime_error("psql failed");
        field = to;
    };
    const auto byDialog = [&] {
        const std::string to = "owner" + std::to_string(++serial);
        dialog.rename("parcels", {field, to});
        field = to;
    };
    Times best;
    for (int round = 0; round < 3; ++round) {
        db.exec("VACUUM FULL parcels");
        best.psql = std::min(best.psql, seconds(byPsql));
        db.exec("VACUUM FULL parcels");
        best.dialog = std::min(best.dialog, seconds(byDialog));
    }
    const auto shown = gistest::messages(dialog.ui);
    if (std::count(shown.begin(), shown.end(), "Field renamed successfully.") != 3)
        throw std::runtime_error("a rename through the dialog failed");
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    GDALAllRegister();
    try {
        const Server server;
        const pgtest::Database database;
        if (!database.available()) throw std::runtime_error("no database server");
        makeTable(database.conninfo(), rows);
        const Times best = measure(database.conninfo());

        std::printf("PostGIS, %d rows: psql %.2f s, dialog on gishost %.2f s\n", rows, best.psql, best.dialog);
        std::printf("dialog / psql = %.2f\n", best.dialog / best.psql);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "postgres_rename_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
