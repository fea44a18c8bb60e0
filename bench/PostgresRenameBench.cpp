// Renames a field of a PostGIS table with a million rows through the real
// dialog on gishost, and reports it against the same three statements (add,
// copy, drop) run by psql, measured in the same run on the same table.
// Meanwhile another session updates one row every 100 ms; its longest and
// median waits are reported for each.
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
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

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

// Another editor: one row every 100 ms, each update's time kept under the
// name of what ran meanwhile.
class Editor {
public:
    explicit Editor(const std::string& database)
        : thread_([this, database] {
              pgtest::Session db(database);
              for (long i = 0; !stop_; ++i) {
                  const std::string running = *running_.load();
                  const double took = seconds([&] {
                      db.exec("UPDATE parcels SET area = area + 1 WHERE id = " + std::to_string(1 + i * 7919 % 1000));
                  });
                  {
                      const std::lock_guard lock(mutex_);
                      waits_[running].push_back(took);
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(100));
              }
          })
    {
    }
    ~Editor()
    {
        stop_ = true;
        thread_.join();
    }

    void running(const std::string* what) { running_ = what; }
    // Longest and median wait while `what` ran.
    std::pair<double, double> waits(const std::string& what)
    {
        const std::lock_guard lock(mutex_);
        std::vector<double> w = waits_[what];
        if (w.empty()) return {0, 0};
        std::sort(w.begin(), w.end());
        return {w.back(), w[w.size() / 2]};
    }

private:
    std::atomic<bool> stop_ = false;
    std::atomic<const std::string*> running_{&idle};
    std::mutex mutex_;
    std::map<std::string, std::vector<double>> waits_;
    std::thread thread_;

public:
    static inline const std::string idle = "idle";
    static inline const std::string psql = "psql";
    static inline const std::string dialog = "dialog";
};

// The two take turns renaming the same field of the same table, compacted
// before each run; the fastest of three counts.
Times measure(const std::string& database, Editor& editor)
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
        editor.running(&Editor::psql);
        best.psql = std::min(best.psql, seconds(byPsql));
        editor.running(&Editor::idle);
        db.exec("VACUUM FULL parcels");
        editor.running(&Editor::dialog);
        best.dialog = std::min(best.dialog, seconds(byDialog));
        editor.running(&Editor::idle);
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
        Editor editor(database.conninfo());
        const Times best = measure(database.conninfo(), editor);

        std::printf("PostGIS, %d rows: psql %.2f s, dialog on gishost %.2f s\n", rows, best.psql, best.dialog);
        std::printf("dialog / psql = %.2f\n", best.dialog / best.psql);
        for (const std::string* what : {&Editor::psql, &Editor::dialog}) {
            const auto [longest, median] = editor.waits(*what);
            std::printf("another editor's update during %s: longest %.3f s, median %.3f s\n", what->c_str(), longest,
                        median);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "postgres_rename_bench: %s\n", e.what());
        return 1;
    }
    return 0;
}
