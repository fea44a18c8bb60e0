#pragma once

// What the engine reads in PostgreSQL's own texts: a default's literal
// without its cast, and whether one column type holds every value of
// another. Pure text work, kept apart so that it is tested as tables.

#include <string>

namespace engine::pg {

// 'x'::type, NULL::type, 12::type: the literal without the database's cast;
// any other text as it is.
std::string withoutCast(const std::string& text);

// Whether every value of a column of type `from` (as format_type writes it)
// is stored unchanged in one of type `to`.
bool holdsEveryValue(const std::string& from, const std::string& to);

} // namespace engine::pg
