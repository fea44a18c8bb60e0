#include "engine/postgres/PostgresTypes.h"

#include <gtest/gtest.h>

#include <string>

// Defaults as the catalogue writes them: the literal Quillet carries over,
// without the cast, and anything it cannot read as a literal left whole.
TEST(PostgresTypes, ADefaultLosesOnlyItsCast)
{
    const struct {
        const char* stored;
        const char* literal;
    } cases[] = {
        {"'x'::text", "'x'"},
        {"'it''s'::character varying", "'it''s'"},
        {"'a::b'::text", "'a::b'"},
        {"NULL::integer", "NULL"},
        {"12::smallint", "12"},
        {"'2020-01-01'::date", "'2020-01-01'"},
        {"'{1,2}'::integer[]", "'{1,2}'"},
        {"'x'::\"My Type\"", "'x'"},
        {"7", "7"},
        {"nextval('t_id_seq'::regclass)", "nextval('t_id_seq'::regclass)"},
        {"'x'::text || 'y'::text", "'x'::text || 'y'::text"},
        {"'unterminated::text", "'unterminated::text"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(engine::pg::withoutCast(c.stored), c.literal) << c.stored;
}

// A copy may go only where every value arrives unchanged: the same type,
// or a wider one of the same kind; never where the database would round
// or cut without a word.
TEST(PostgresTypes, ACopyGoesOnlyWhereEveryValueFits)
{
    const struct {
        const char* from;
        const char* to;
        bool holds;
    } cases[] = {
        {"integer", "integer", true},
        {"text", "character varying", true},
        {"character varying", "text", true},
        {"character varying(40)", "text", true},
        {"character varying(40)", "character varying", true},
        {"character varying(40)", "character varying(80)", true},
        {"character varying(40)", "character varying(40)", true},
        {"character varying(80)", "character varying(40)", false},
        {"text", "character varying(40)", false},
        {"numeric(8,3)", "numeric", true},
        {"numeric(8,3)", "numeric(10,3)", true},
        {"numeric(8,3)", "numeric(9,4)", true},
        {"numeric(8,3)", "numeric(8,2)", false},
        {"numeric(8,3)", "numeric(7,3)", false},
        {"numeric", "numeric(10,2)", false},
        {"smallint", "integer", true},
        {"integer", "smallint", false},
        {"real", "double precision", true},
        {"double precision", "real", false},
        {"numeric(8,3)", "double precision", false},
        {"integer", "text", false},
        {"character(5)", "character(5)", true},
        {"character(5)", "character(3)", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(engine::pg::holdsEveryValue(c.from, c.to), c.holds) << c.from << " -> " << c.to;
}
