#include "engine/postgres/PostgresSession.h"

#include <cpl_string.h>
#include <libpq-fe.h>

#include "engine/core/Progress.h"

#include <poll.h>

namespace engine::pg {

namespace {

// The keywords GDAL's driver takes for itself and libpq would refuse.
bool gdalsOwn(const std::string& key)
{
    for (const char* own : {"active_schema", "schemas", "tables"})
        if (EQUAL(key.c_str(), own)) return true;
    return false;
}

Answer lostConnection(PGconn* conn)
{
    Answer answer;
    answer.ok = false;
    answer.sqlState = "08006";
    answer.message = oneLine(PQerrorMessage(conn));
    if (answer.message.empty()) answer.message = "the connection to the database was lost";
    return answer;
}

void take(PGresult* result, Answer& answer)
{
    const ExecStatusType status = PQresultStatus(result);
    if (status == PGRES_FATAL_ERROR || status == PGRES_BAD_RESPONSE || status == PGRES_NONFATAL_ERROR) {
        if (answer.ok) {
            answer.ok = false;
            const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
            const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
            answer.sqlState = state ? state : "";
            answer.message = oneLine(primary ? primary : PQresultErrorMessage(result));
        }
    } else if (status == PGRES_TUPLES_OK) {
        answer.rows.clear();
        for (int r = 0; r < PQntuples(result); ++r) {
            Row row;
            for (int c = 0; c < PQnfields(result); ++c)
                row.push_back(PQgetisnull(result, r, c) ? Cell() : Cell(PQgetvalue(result, r, c)));
            answer.rows.push_back(std::move(row));
        }
    }
    PQclear(result);
}

} // namespace

std::string oneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

bool lockStoodInTheWay(const Answer& answer)
{
    return !answer.ok && (answer.sqlState == "55P03" || answer.sqlState == "40P01");
}

std::vector<KeywordPair> keywordPairs(const std::string& text)
{
    std::vector<KeywordPair> pairs;
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n')) ++i;
    };
    while (i < text.size()) {
        skipBlanks();
        const std::size_t keyStart = i;
        while (i < text.size() && text[i] != '=' && text[i] != ' ') ++i;
        const std::string key = text.substr(keyStart, i - keyStart);
        skipBlanks();
        if (i >= text.size() || text[i] != '=') continue;
        ++i;
        skipBlanks();
        std::string value;
        if (i < text.size() && text[i] == '\'') {
            for (++i; i < text.size() && text[i] != '\''; ++i) {
                if (text[i] == '\\' && i + 1 < text.size()) ++i;
                value += text[i];
            }
            ++i;
        } else {
            while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\n') value += text[i++];
        }
        pairs.push_back({key, value, keyStart, i});
    }
    return pairs;
}

std::unique_ptr<Session> Session::open(const std::string& connection, std::string& why)
{
    std::string text = connection;
    if (STARTS_WITH_CI(text.c_str(), "PG:")) text.erase(0, 3);
    std::vector<std::pair<std::string, std::string>> pairs;
    for (auto& pair : keywordPairs(text))
        if (!gdalsOwn(pair.key)) pairs.emplace_back(std::move(pair.key), std::move(pair.value));
    pairs.emplace_back("application_name", "quillet");
    std::vector<const char*> keys;
    std::vector<const char*> values;
    for (const auto& [key, value] : pairs) {
        keys.push_back(key.c_str());
        values.push_back(value.c_str());
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    PGconn* conn = PQconnectdbParams(keys.data(), values.data(), 0);
    if (!conn || PQstatus(conn) != CONNECTION_OK) {
        why = conn ? oneLine(PQerrorMessage(conn)) : "out of memory";
        PQfinish(conn);
        return nullptr;
    }
    return std::unique_ptr<Session>(new Session(conn));
}

Session::~Session() { PQfinish(conn_); }

bool Session::alive() const { return PQstatus(conn_) == CONNECTION_OK; }

Answer Session::run(const std::string& sql)
{
    if (!PQsendQuery(conn_, sql.c_str())) return lostConnection(conn_);
    Answer answer;
    for (;;) {
        while (PQisBusy(conn_)) {
            pollfd socket{PQsocket(conn_), POLLIN, 0};
            if (poll(&socket, 1, 20) == 0) reportWaiting();
            if (!PQconsumeInput(conn_)) return lostConnection(conn_);
        }
        PGresult* result = PQgetResult(conn_);
        if (!result) break;
        take(result, answer);
    }
    if (PQstatus(conn_) != CONNECTION_OK) return lostConnection(conn_);
    return answer;
}

} // namespace engine::pg
