#include "engine/postgres/PostgresTypes.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <optional>
#include <utility>

namespace engine::pg {

namespace {

// Where a quoted literal at the start of `text` ends ('' is a quote inside it).
std::size_t literalEnd(const std::string& text)
{
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] != '\'') continue;
        if (i + 1 < text.size() && text[i + 1] == '\'')
            ++i;
        else
            return i;
    }
    return std::string::npos;
}

// NULL, 12, -1.5e3: a literal that needs no quotes.
bool isPlainWord(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || std::strchr(".+-", c);
    });
}

bool isTypeName(const std::string& text)
{
    if (text.empty()) return false;
    for (char c : text)
        if (!std::isalnum(static_cast<unsigned char>(c)) && !std::strchr("_ (),[]\"", c)) return false;
    return true;
}

// text and character varying without a length hold the same values.
bool sameColumnType(const std::string& a, const std::string& b)
{
    const auto plain = [](const std::string& type) { return type == "character varying" ? "text" : type; };
    return plain(a) == plain(b);
}

// "numeric(12,3)" -> {12, 3}; "character varying(40)" -> {40, 0}; none
// for a type without a size or of another name.
std::optional<std::pair<int, int>> sizeOf(const std::string& type, const std::string& name)
{
    if (type.rfind(name + "(", 0) != 0 || type.back() != ')') return std::nullopt;
    int first = 0;
    int second = 0;
    const char* begin = type.data() + name.size() + 1;
    const char* end = type.data() + type.size() - 1;
    auto [ptr, ec] = std::from_chars(begin, end, first);
    if (ec != std::errc()) return std::nullopt;
    if (ptr != end && (*ptr != ',' || std::from_chars(ptr + 1, end, second).ec != std::errc())) return std::nullopt;
    return std::make_pair(first, second);
}

} // namespace

std::string withoutCast(const std::string& text)
{
    std::size_t end = text.find("::");
    if (!text.empty() && text.front() == '\'') {
        end = literalEnd(text);
        if (end != std::string::npos) ++end;
    } else if (end != std::string::npos && !isPlainWord(text.substr(0, end))) {
        return text; // an expression such as nextval('s'::regclass), not a literal
    }
    if (end == std::string::npos || text.compare(end, 2, "::") != 0 || !isTypeName(text.substr(end + 2))) return text;
    return text.substr(0, end);
}

// The same type, or a wider one of the same kind: the database would cut
// trailing blanks off text that is too long and round numbers to fewer
// decimals without a word.
bool holdsEveryValue(const std::string& from, const std::string& to)
{
    if (sameColumnType(from, to)) return true;
    const std::string text = "character varying";
    if (from.rfind(text, 0) == 0 && (to == "text" || to == text)) return true;
    if (const auto f = sizeOf(from, text), t = sizeOf(to, text); f && t) return t->first >= f->first;
    if (from.rfind("numeric", 0) == 0 && to == "numeric") return true;
    if (const auto f = sizeOf(from, "numeric"), t = sizeOf(to, "numeric"); f && t)
        return t->second >= f->second && t->first - t->second >= f->first - f->second;
    return (from == "smallint" && to == "integer") || (from == "real" && to == "double precision");
}

} // namespace engine::pg
