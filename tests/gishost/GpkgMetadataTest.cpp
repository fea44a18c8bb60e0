// What gpkg_data_columns says of a column (alias, title, description, MIME
// type, constraint name) follows the column through the add-in's rename, in
// GeoPackages whose table is defined the standard's way, the older ways, or
// not there at all; a failed rename and a deletion touch nothing else. The
// files are read back with GDAL and with SQLite alone.

#include "GisTestSupport.h"
#include "GpkgMetadata.h"

#include "dialog/Messages.h"
#include "hostkit/FieldCalculator.h"
#include "hostkit/NewFieldDefinition.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using gistest::DataColumns;
using gistest::Dialog;
using gistest::SqlRow;

struct DefinitionCase {
    const char* name;
    DataColumns definition;
    // The file refuses an alias a second time in the table.
    bool aliasOnce;
};

std::ostream& operator<<(std::ostream& out, const DefinitionCase& c) { return out << c.name; }

const DefinitionCase definitionCases[] = {
    {"Standard", DataColumns::Standard, true},
    {"AliasOncePerFile", DataColumns::AliasOncePerFile, true},
    {"AliasRepeatable", DataColumns::AliasRepeatable, false},
    {"NoTable", DataColumns::None, false},
};

std::string text(const QString& message) { return message.toStdString(); }

std::vector<SqlRow> constraints(const std::string& path)
{
    if (gistest::sqliteRows(path, "SELECT 1 FROM sqlite_master WHERE name = 'gpkg_data_column_constraints'").empty())
        return {};
    return gistest::sqliteRows(path, "SELECT * FROM gpkg_data_column_constraints ORDER BY constraint_name");
}

std::vector<SqlRow> sorted(std::vector<SqlRow> rows)
{
    std::sort(rows.begin(), rows.end());
    return rows;
}

// The rows with one column of "counties" under another name.
std::vector<SqlRow> renamed(std::vector<SqlRow> rows, const std::string& from, const std::string& to)
{
    for (SqlRow& row : rows)
        if (row[0] == "counties" && row[1] == from) row[1] = to;
    return sorted(std::move(rows));
}

// The file is whole and every row of gpkg_data_columns names a table of
// gpkg_contents.
void expectSound(const std::string& path)
{
    EXPECT_EQ(gistest::sqliteRows(path, "PRAGMA integrity_check"), (std::vector<SqlRow>{{"ok"}}));
    EXPECT_TRUE(gistest::sqliteRows(path, "PRAGMA foreign_key_check").empty());
}

class GpkgMetadata : public ::testing::TestWithParam<DefinitionCase> {
protected:
    void SetUp() override { path = gistest::writeDescribedGeoPackage(folder.path().toStdString(), GetParam().definition); }
    QTemporaryDir folder;
    std::string path;
};

TEST_P(GpkgMetadata, ARenameKeepsEveryValueAndTheWholeDescriptionUnderTheNewName)
{
    const auto rowsBefore = gistest::dataColumns(path);
    const auto constraintsBefore = constraints(path);
    const gistest::LayerContent before = gistest::readLayer(path, "counties");
    {
        const gistest::Host host({path});
        Dialog dialog;
        dialog.rename("counties", {"name", "cnty_name"});
        dialog.rename("counties", {"code", "cnty_code"});
        dialog.rename("counties", {"doc", "record"});
        EXPECT_EQ(gistest::messages(dialog.ui), std::vector<std::string>(3, text(quillet::text::renamed)));
    }
    EXPECT_EQ(gistest::dataColumns(path),
              renamed(renamed(renamed(rowsBefore, "name", "cnty_name"), "code", "cnty_code"), "doc", "record"));
    EXPECT_EQ(constraints(path), constraintsBefore);
    expectSound(path);

    // GDAL reads the alias where gishost wrote it, and the constraint as the field's domain.
    const gistest::LayerContent after = gistest::readLayer(path, "counties");
    const gistest::LayerContent expected =
        gistest::changed(before, {}, {{"name", "cnty_name"}, {"code", "cnty_code"}, {"doc", "record"}});
    EXPECT_EQ(after.fields, expected.fields);
    EXPECT_EQ(after.rows, expected.rows);
    EXPECT_EQ(after.geometries, before.geometries);
    if (GetParam().definition != DataColumns::None) {
        EXPECT_EQ(after.fields.at("cnty_name").alias, "County name");
        EXPECT_EQ(after.fields.at("cnty_code").domain, "county_code");
        EXPECT_EQ(after.fields.at("record").subType, OFSTJSON);
    }
}

std::u16string aliasOf(host::IFeatureClass& table, const std::u16string& name)
{
    runtime::ComPtr<host::IFieldCollection> fields;
    runtime::ComPtr<host::IFieldDefinition> field;
    std::int32_t index = -1;
    std::u16string alias;
    if (runtime::succeeded(table.get_Fields(fields.put())) && runtime::succeeded(fields->FindField(name, &index)) &&
        runtime::succeeded(fields->get_Field(index, field.put())))
        field->get_AliasName(&alias);
    return alias;
}

// A blob field is copied but never deleted: both fields are described, and
// the alias is the copy's where the file keeps it only once; gishost still
// shows it for both while it runs.
TEST_P(GpkgMetadata, ABlobKeptBesideItsCopyLeavesBothDescribed)
{
    const auto rowsBefore = gistest::dataColumns(path);
    {
        const gistest::Host host({path});
        Dialog dialog;
        dialog.rename("counties", {"photo", "aerial"});
        EXPECT_EQ(gistest::messages(dialog.ui), std::vector<std::string>{text(quillet::text::duplicatedNotDeleted)});
        const auto counties = gistest::featureClassAt(host, 0, 0);
        ASSERT_TRUE(counties);
        const std::u16string alias = GetParam().definition == DataColumns::None ? u"" : u"Photo";
        EXPECT_EQ(aliasOf(*counties, u"photo"), alias);
        EXPECT_EQ(aliasOf(*counties, u"aerial"), alias);
    }
    std::vector<SqlRow> expected = rowsBefore;
    for (const SqlRow& row : rowsBefore)
        if (row[1] == "photo") {
            SqlRow copy = row;
            copy[1] = "aerial";
            expected.push_back(copy);
        }
    if (GetParam().aliasOnce)
        for (SqlRow& row : expected)
            if (row[1] == "photo") row[2] = std::nullopt;
    EXPECT_EQ(gistest::dataColumns(path), sorted(expected));
    expectSound(path);
}

TEST_P(GpkgMetadata, ARenameThatFailsAfterTheAddLeavesTheOldRowAsItWas)
{
    gistest::sqliteRows(path, "CREATE TRIGGER counties_frozen BEFORE UPDATE ON counties BEGIN "
                              "SELECT RAISE(ABORT, 'the counties are frozen'); END");
    const auto rowsBefore = gistest::dataColumns(path);
    const gistest::LayerContent before = gistest::readLayer(path, "counties");
    {
        const gistest::Host host({path});
        Dialog dialog;
        dialog.rename("counties", {"name", "cnty_name"});
        EXPECT_EQ(gistest::messages(dialog.ui), std::vector<std::string>{text(quillet::text::copyFailed("name"))});
    }
    EXPECT_EQ(gistest::dataColumns(path), rowsBefore);
    const gistest::LayerContent after = gistest::readLayer(path, "counties");
    EXPECT_EQ(after.fields, before.fields);
    EXPECT_EQ(after.rows, before.rows);
    expectSound(path);
}

TEST_P(GpkgMetadata, DeletingFieldsRemovesOnlyTheirRows)
{
    auto expected = gistest::dataColumns(path);
    const auto constraintsBefore = constraints(path);
    {
        const gistest::Host host({path});
        Dialog dialog;
        dialog.deleteFields("counties", {"code", "population"});
    }
    std::erase_if(expected, [](const SqlRow& row) { return row[0] == "counties" && row[1] == "code"; });
    EXPECT_EQ(gistest::dataColumns(path), expected);
    EXPECT_EQ(constraints(path), constraintsBefore);
    expectSound(path);
}

INSTANTIATE_TEST_SUITE_P(Definitions, GpkgMetadata, ::testing::ValuesIn(definitionCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The calculator copies values into a field that says something else of
// itself: its description stays its own.
TEST(GpkgMetadataCopy, AFieldDescribedOtherwiseKeepsItsDescription)
{
    QTemporaryDir folder;
    const std::string path = gistest::writeDescribedGeoPackage(folder.path().toStdString(), DataColumns::Standard);
    gistest::sqliteRows(path, "ALTER TABLE counties ADD COLUMN label TEXT");
    gistest::sqliteRows(path, "INSERT INTO gpkg_data_columns VALUES ('counties', 'label', 'Label', 'Map label', NULL, "
                              "NULL, NULL)");
    const auto rowsBefore = gistest::dataColumns(path);
    {
        const gistest::Host host({path});
        const auto counties = gistest::featureClassAt(host, 0, 0);
        ASSERT_TRUE(counties);
        runtime::ComPtr<host::IRowCursor> cursor;
        ASSERT_EQ(counties.asOrNull<host::IAttributeTable>()->Search(nullptr, false, cursor.put()), runtime::S_OK);
        const auto calculator = runtime::make<hostkit::FieldCalculator>();
        calculator->putref_Cursor(cursor.get());
        calculator->put_Field(u"label");
        calculator->put_Expression(u"[name]");
        ASSERT_EQ(calculator->Calculate(nullptr), runtime::S_OK);
    }
    EXPECT_EQ(gistest::dataColumns(path), rowsBefore);
    for (const auto& [fid, row] : gistest::readLayer(path, "counties").rows) EXPECT_EQ(row.at("label"), row.at("name"));
}

// A file without the table gets the one the standard defines when a field
// it describes is added: one with an alias, or a JSON text (which GDAL
// describes itself).
struct NewFieldCase {
    const char* name;
    std::int32_t type;
    std::u16string alias;
    SqlRow row;
};

std::ostream& operator<<(std::ostream& out, const NewFieldCase& c) { return out << c.name; }

const NewFieldCase newFieldCases[] = {
    {"Aliased", host::fieldTypeString, u"County seat",
     {"counties", "added", "County seat", std::nullopt, std::nullopt, std::nullopt, std::nullopt}},
    {"Json", 104, u"", {"counties", "added", std::nullopt, std::nullopt, std::nullopt, "application/json", std::nullopt}},
};

class GpkgMetadataTable : public ::testing::TestWithParam<NewFieldCase> {};

TEST_P(GpkgMetadataTable, TheTableGishostCreatesIsTheStandards)
{
    QTemporaryDir folder;
    const std::string path = gistest::writeDescribedGeoPackage(folder.path().toStdString(), DataColumns::None);
    {
        const gistest::Host host({path});
        const auto counties = gistest::featureClassAt(host, 0, 0);
        ASSERT_TRUE(counties);
        const auto field = runtime::make<hostkit::NewFieldDefinition>();
        field->put_Name(u"added");
        field->put_AliasName(GetParam().alias);
        field->put_Type(GetParam().type);
        ASSERT_EQ(counties->AddField(field.get()), runtime::S_OK);
    }
    EXPECT_EQ(gistest::dataColumns(path), std::vector<SqlRow>{GetParam().row});
    // Unique indexes by their columns: the primary key and the alias once per table.
    EXPECT_EQ(sorted(gistest::sqliteRows(path, "SELECT group_concat(info.name, ',') FROM pragma_index_list("
                                               "'gpkg_data_columns') AS list, pragma_index_info(list.name) AS info "
                                               "WHERE list.\"unique\" GROUP BY list.name")),
              (std::vector<SqlRow>{{"table_name,column_name"}, {"table_name,name"}}));
    EXPECT_EQ(gistest::sqliteRows(path, "SELECT \"from\", \"table\", \"to\" FROM pragma_foreign_key_list("
                                        "'gpkg_data_columns')"),
              (std::vector<SqlRow>{{"table_name", "gpkg_contents", "table_name"}}));
    EXPECT_EQ(gistest::sqliteRows(path, "SELECT table_name, column_name, scope FROM gpkg_extensions WHERE "
                                        "extension_name = 'gpkg_schema' ORDER BY table_name"),
              (std::vector<SqlRow>{{"gpkg_data_column_constraints", std::nullopt, "read-write"},
                                   {"gpkg_data_columns", std::nullopt, "read-write"}}));
    expectSound(path);
}

INSTANTIATE_TEST_SUITE_P(NewFields, GpkgMetadataTable, ::testing::ValuesIn(newFieldCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
