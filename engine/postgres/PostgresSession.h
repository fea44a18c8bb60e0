#pragma once

// A libpq connection of the engine's own beside GDAL's, for the changes:
// the database's error codes, a wait its host can paint windows in, and a
// session that outlives a call where a rename needs one.

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct pg_conn;

namespace engine::pg {

using Cell = std::optional<std::string>; // nullopt for NULL
using Row = std::vector<Cell>;

struct Answer {
    bool ok = true;
    std::string sqlState; // the database's error code
    std::string message;  // the database's reason, on one line
    std::vector<Row> rows;
};

// Whether the statement failed for another session's lock: its lock wait
// ran out, or the database broke a deadlock.
bool lockStoodInTheWay(const Answer& answer);

class Session {
public:
    // `connection` as GDAL takes it ("PG:keyword=value ..."); null with
    // `why` set when the database cannot be reached.
    static std::unique_ptr<Session> open(const std::string& connection, std::string& why);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // One statement (or several, the last one's rows); while the database
    // works, the waiting is reported (Progress.h).
    Answer run(const std::string& sql);
    bool alive() const;

private:
    explicit Session(pg_conn* conn) : conn_(conn) {}
    pg_conn* conn_;
};

// The database's text on one line, without blanks around it.
std::string oneLine(std::string text);

// A keyword=value pair of a libpq keyword string: the value unquoted, and
// where the pair's text stands, [begin, end).
struct KeywordPair {
    std::string key;
    std::string value;
    std::size_t begin = 0;
    std::size_t end = 0;
};
std::vector<KeywordPair> keywordPairs(const std::string& text);

} // namespace engine::pg
