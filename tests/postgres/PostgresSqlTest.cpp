// The engine's PostgreSQL SQL on a real server: column types, defaults,
// not-null and aliases as GDAL reads them back, the copy, quoting, and the
// passwords that messages must never show. What is in the database is
// checked with the tests' own libpq queries.

#include "PgServer.h"

#include "engine/FieldTypes.h"
#include "engine/Log.h"
#include "engine/Postgres.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <gtest/gtest.h>

namespace {

using engine::pg::Table;
using pgtest::Cell;
using pgtest::Rows;

struct GdalDrivers : ::testing::Environment {
    void SetUp() override { GDALAllRegister(); }
};
[[maybe_unused]] const auto* gdalDrivers = ::testing::AddGlobalTestEnvironment(new GdalDrivers);

// Every reason the engine gives while it lives.
struct Reasons {
    std::vector<std::string> heard;
    engine::ReasonListener listener{[this](const std::string& why) { heard.push_back(why); }};
};

class PostgresSql : public pgtest::DatabaseTest {
protected:
    GDALDatasetUniquePtr open() const
    {
        const char* options[] = {"LIST_ALL_TABLES=YES", nullptr};
        GDALDatasetUniquePtr dataset(GDALDataset::Open(gdalConnection().c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE,
                                                       nullptr, options, nullptr));
        if (!dataset) throw std::runtime_error("GDAL cannot open " + gdalConnection());
        return dataset;
    }

    // The field as GDAL reads it from a fresh connection.
    std::unique_ptr<OGRFieldDefn> readField(const std::string& layer, const std::string& name) const
    {
        const auto dataset = open();
        const OGRFeatureDefn& definition = *dataset->GetLayerByName(layer.c_str())->GetLayerDefn();
        const int index = definition.GetFieldIndex(name.c_str());
        if (index < 0) throw std::runtime_error("no field " + name);
        return std::make_unique<OGRFieldDefn>(definition.GetFieldDefn(index));
    }

    Cell columnType(const std::string& table, const std::string& column)
    {
        return session().value("SELECT format_type(atttypid, atttypmod) FROM pg_attribute WHERE attrelid = '" + table +
                               "'::regclass AND attname = '" + column + "'");
    }
};

struct TypeCase {
    std::int32_t code;
    int width;
    int precision;
    const char* columnType;
};

std::ostream& operator<<(std::ostream& out, const TypeCase& c) { return out << c.code << " " << c.columnType; }

const TypeCase typeCases[] = {
    {0, 0, 0, "smallint"},
    {1, 0, 0, "integer"},
    {2, 0, 0, "real"},
    {3, 0, 0, "double precision"},
    {3, 12, 3, "numeric(12,3)"},
    {4, 0, 0, "text"},
    {4, 40, 0, "character varying(40)"},
    {5, 0, 0, "timestamp with time zone"},
    {8, 0, 0, "bytea"},
    {100, 0, 0, "boolean"},
    {101, 0, 0, "bigint"},
    {101, 18, 0, "numeric(18,0)"},
    {102, 0, 0, "date"},
    {103, 0, 0, "time without time zone"},
    {104, 0, 0, "json"},
    {105, 0, 0, "uuid"},
    {106, 0, 0, "integer[]"},
    {107, 0, 0, "bigint[]"},
    {108, 0, 0, "double precision[]"},
    {109, 0, 0, "text[]"},
};

// A field added from a host type code reads back with the same code (and
// size), so that a rename keeps the column's type.
TEST_F(PostgresSql, EveryTypeCodeMakesAColumnThatReadsBackAsTheSameType)
{
    session().exec("CREATE TABLE t (id serial PRIMARY KEY, geom geometry(Point, 4326))");
    const auto dataset = open();
    int n = 0;
    for (const TypeCase& c : typeCases) {
        const std::string name = "f" + std::to_string(n++);
        const auto type = engine::ogrTypeOf(c.code);
        ASSERT_TRUE(type) << c;
        OGRFieldDefn field(name.c_str(), type->type);
        field.SetSubType(type->subType);
        field.SetWidth(c.width);
        field.SetPrecision(c.precision);
        ASSERT_EQ(engine::pg::addColumn(*dataset, {"public", "t"}, field), runtime::S_OK) << c;

        EXPECT_EQ(columnType("t", name), c.columnType) << c;
        const auto back = readField("t", name);
        EXPECT_EQ(engine::typeCodeOf(*back), c.code) << c;
        if (c.width > 0) {
            EXPECT_EQ(back->GetWidth(), c.width) << c;
            EXPECT_EQ(back->GetPrecision(), c.precision) << c;
        }
    }
}

} // namespace
