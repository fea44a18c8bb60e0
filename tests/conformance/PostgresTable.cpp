#include "PostgresTable.h"

#include "GdalFormats.h"
#include "GdalTable.h"

#include <QString>

#include <charconv>
#include <sstream>
#include <stdexcept>

namespace conformance {

namespace {

std::string utf8(const std::u16string& text) { return QString::fromStdU16String(text).toStdString(); }

std::string columnType(const ContractField& field)
{
    switch (field.type) {
    case host::fieldTypeSmallInteger:
        return "smallint";
    case host::fieldTypeInteger:
        return "integer";
    case host::fieldTypeDouble:
        return "double precision";
    case host::fieldTypeString:
        return field.length > 0 ? "character varying(" + std::to_string(field.length) + ")" : "text";
    }
    throw std::runtime_error("no column type for the standard table's type code " + std::to_string(field.type));
}

std::string literal(pgtest::Session& db, const Variant& value)
{
    std::ostringstream out;
    out.precision(17);
    if (const auto* n = value.get<std::int32_t>())
        out << *n;
    else if (const auto* d = value.get<double>())
        out << *d;
    else if (const auto* s = value.get<std::u16string>())
        out << db.literal(utf8(*s));
    else
        out << "NULL";
    return out.str();
}

// The database's text of a number, whatever the locale's decimal mark.
double number(const std::string& text)
{
    double value = 0;
    const char* end = text.data() + text.size();
    if (const auto read = std::from_chars(text.data(), end, value); read.ec != std::errc() || read.ptr != end)
        throw std::runtime_error("not a number: " + text);
    return value;
}

} // namespace

void writeStandardTable(pgtest::Session& db)
{
    const ContractTable& table = standardTable();
    std::string create = "CREATE TABLE standard (id serial PRIMARY KEY, geom geometry(Polygon, 3857)";
    std::string comments;
    std::string columns = "geom";
    for (const ContractField& f : table.fields) {
        const std::string column = db.identifier(utf8(f.name));
        create += ", " + column + " " + columnType(f);
        if (!f.defaultValue.isEmpty()) create += " DEFAULT " + literal(db, f.defaultValue);
        if (!f.alias.empty()) comments += "COMMENT ON COLUMN standard." + column + " IS " + db.literal(utf8(f.alias)) + ";";
        columns += ", " + column;
    }
    std::string rows;
    for (std::size_t row = 0; row < table.rows; ++row) {
        rows += std::string(row ? "," : "") + "(ST_GeomFromText('" + standardShape(row) + "', 3857)";
        for (const ContractField& f : table.fields) rows += ", " + literal(db, f.values[row]);
        rows += ")";
    }
    db.exec(create + ");" + comments + "INSERT INTO standard (" + columns + ") VALUES " + rows);
}

std::vector<Variant> readColumn(pgtest::Session& db, const std::u16string& field)
{
    const std::string column = db.identifier(utf8(field));
    std::vector<Variant> values;
    for (const pgtest::Row& row :
         db.query("SELECT " + column + "::text, pg_typeof(" + column + ")::text FROM standard ORDER BY id")) {
        const std::string& type = *row[1];
        if (!row[0])
            values.emplace_back(Variant::Null{});
        else if (type == "smallint" || type == "integer")
            values.emplace_back(static_cast<std::int32_t>(std::stol(*row[0])));
        else if (type == "bigint")
            values.emplace_back(static_cast<std::int64_t>(std::stoll(*row[0])));
        else if (type == "real" || type == "double precision" || type == "numeric")
            values.emplace_back(number(*row[0]));
        else
            values.emplace_back(QString::fromStdString(*row[0]).toStdU16String());
    }
    return values;
}

Profile postgresProfile()
{
    Profile p;
    p.types = ownCodes();
    return p;
}

std::string readerConninfo(pgtest::Database& database)
{
    const std::string password = "reader's pw";
    const std::string role = database.addRole("reader", password);
    database.session().exec("GRANT SELECT ON standard TO " + role);
    return database.conninfo() + " user=" + role + " password='reader\\'s pw'";
}

} // namespace conformance
