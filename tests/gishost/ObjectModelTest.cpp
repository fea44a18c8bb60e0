// gishost's object model over GDAL, through the host interfaces: what a
// document holds, what each field says, and what fails and how.

#include "GisTestSupport.h"

#include "gishost/model/FeatureClass.h"
#include "hostkit/FieldCalculator.h"
#include "hostkit/HostIdentifier.h"
#include "hostkit/NewFieldDefinition.h"
#include "gishost/sample/SampleData.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using runtime::ComPtr;
using runtime::HResult;
using runtime::S_OK;

ComPtr<host::ILayer> layerAt(const gishost::Document& document, int map, int layer)
{
    ComPtr<host::IMap> m;
    ComPtr<host::ILayer> l;
    const_cast<gishost::Document&>(document).get_Item(map, m.put());
    if (m) m->get_Layer(layer, l.put());
    return l;
}

ComPtr<gishost::FeatureClass> featureClassOf(const ComPtr<host::ILayer>& layer)
{
    ComPtr<host::IFeatureClass> fc;
    if (const auto fl = layer.asOrNull<host::IFeatureLayer>()) fl->get_FeatureClass(fc.put());
    return ComPtr<gishost::FeatureClass>(static_cast<gishost::FeatureClass*>(fc.get()));
}

std::vector<hostkit::FieldInfo> fieldsOf(gishost::FeatureClass& fc)
{
    hostkit::FieldList fields;
    EXPECT_EQ(gdalhost::TableFields(fc.table()).fields(fields), S_OK);
    return fields ? *fields : std::vector<hostkit::FieldInfo>{};
}

hostkit::FieldInfo field(gishost::FeatureClass& fc, const std::string& name)
{
    for (const auto& f : fieldsOf(fc))
        if (QString::fromStdU16String(f.name).toStdString() == name) return f;
    ADD_FAILURE() << "no field " << name;
    return {};
}

class ObjectModel : public ::testing::Test {
protected:
    QTemporaryDir folder;
    std::vector<std::string> paths = gishost::sample::writeAll(folder.path().toStdString());
};

TEST_F(ObjectModel, EachDatasetIsAMapAndPathsThatAreNotDatasetsAreReported)
{
    const std::string missing = folder.filePath("missing.gpkg").toStdString();
    const std::string text = folder.filePath("notes.txt").toStdString();
    std::ofstream(text) << "not a dataset\n";
    std::vector<std::string> all{missing};
    all.insert(all.end(), paths.begin(), paths.end());
    all.push_back(text);

    const gistest::Host host(all);
    ASSERT_EQ(host.loaded.problems.size(), 2u);
    EXPECT_NE(host.loaded.problems[0].find(missing), std::string::npos);
    EXPECT_NE(host.loaded.problems[0].find("no such file"), std::string::npos);
    EXPECT_NE(host.loaded.problems[1].find("not a GIS dataset"), std::string::npos);

    std::int32_t maps = 0;
    host.loaded.document->get_Count(&maps);
    ASSERT_EQ(maps, 4);
    std::vector<std::u16string> names;
    for (int m = 0; m < maps; ++m) {
        ComPtr<host::IMap> map;
        std::int32_t layers = 0;
        host.loaded.document->get_Item(m, map.put());
        map->get_LayerCount(&layers);
        for (int l = 0; l < layers; ++l) {
            std::u16string name;
            layerAt(*host.loaded.document, m, l)->get_Name(&name);
            names.push_back(name);
        }
    }
    EXPECT_EQ(names, (std::vector<std::u16string>{u"cities", u"roads", u"parcels", u"rivers", u"lakes", u"wells",
                                                  u"elevation.tif"}));
    EXPECT_FALSE(layerAt(*host.loaded.document, 3, 0).asOrNull<host::IFeatureLayer>()) << "a raster is no feature layer";
}

TEST_F(ObjectModel, FieldsTellTheirDefinitionAndWhatTheDataSourceRequires)
{
    const gistest::Host host(paths);
    const auto cities = featureClassOf(layerAt(*host.loaded.document, 0, 0));
    const auto lakes = featureClassOf(layerAt(*host.loaded.document, 2, 0));
    ASSERT_TRUE(cities && lakes);

    const auto fields = fieldsOf(*cities);
    ASSERT_GE(fields.size(), 2u);
    EXPECT_EQ(fields[0].type, host::fieldTypeOID);
    EXPECT_EQ(fields[1].type, host::fieldTypeGeometry);
    for (const auto& f : {fields[0], fields[1], field(*lakes, "Shape_Area"), field(*lakes, "Shape_Length")})
        EXPECT_TRUE(f.required && !f.editable) << QString::fromStdU16String(f.name).toStdString();

    const auto count = field(*cities, "city_count");
    EXPECT_EQ(count.type, host::fieldTypeInteger);
    EXPECT_FALSE(count.nullable);
    EXPECT_EQ(count.defaultValue, runtime::Variant(std::int32_t{0}));
    const auto label = field(*cities, "city_label");
    EXPECT_EQ(label.alias, u"Label");
    EXPECT_EQ(label.length, 40);
    EXPECT_EQ(label.defaultValue, runtime::Variant(u"unnamed"));
    EXPECT_FALSE(label.required);
    EXPECT_EQ(field(*cities, "city_rank").type, host::fieldTypeSmallInteger);
    EXPECT_EQ(field(*cities, "city_ratio").type, host::fieldTypeSingle);
    EXPECT_EQ(field(*cities, "city_measure").defaultValue, runtime::Variant(2.5));
    EXPECT_EQ(field(*cities, "city_surveyed").type, host::fieldTypeDate);
    EXPECT_EQ(field(*cities, "city_sketch").type, host::fieldTypeBlob);
}

// What no attribute field can be, and what the host will not remove.
TEST_F(ObjectModel, SchemaChangesItCannotMakeFailWithoutChangingTheTable)
{
    const gistest::Host host(paths);
    const auto cities = featureClassOf(layerAt(*host.loaded.document, 0, 0));
    const auto lakes = featureClassOf(layerAt(*host.loaded.document, 2, 0));
    const auto before = fieldsOf(*cities);

    struct Case {
        const char* what;
        std::int32_t type;
        bool required;
        runtime::Variant defaultValue;
    };
    const Case adds[] = {{"object id", host::fieldTypeOID, false, {}},
                         {"geometry", host::fieldTypeGeometry, false, {}},
                         {"unknown type", 99, false, {}},
                         {"required", host::fieldTypeString, true, {}},
                         {"text default on a number", host::fieldTypeInteger, false, u"ten"}};
    for (const Case& c : adds) {
        const auto definition = runtime::make<hostkit::NewFieldDefinition>();
        definition->put_Name(u"extra");
        definition->put_Type(c.type);
        definition->put_Required(c.required);
        definition->put_DefaultValue(c.defaultValue);
        EXPECT_EQ(cities->AddField(definition.get()), runtime::E_INVALIDARG) << c.what;
    }
    const auto area = runtime::make<hostkit::FieldDefinition>(field(*lakes, "Shape_Area"));
    EXPECT_TRUE(runtime::failed(lakes->DeleteField(area.get())));
    const auto oid = runtime::make<hostkit::FieldDefinition>(before[0]);
    EXPECT_TRUE(runtime::failed(cities->DeleteField(oid.get())));

    EXPECT_EQ(fieldsOf(*cities).size(), before.size());
    EXPECT_EQ(field(*lakes, "Shape_Area").type, host::fieldTypeDouble);
}

TEST_F(ObjectModel, CalculatorRefusesWhatItCannotCalculate)
{
    const gistest::Host host(paths);
    const auto cities = featureClassOf(layerAt(*host.loaded.document, 0, 0));
    const auto wells = featureClassOf(layerAt(*host.loaded.document, 2, 1));
    ComPtr<host::IRowCursor> cursor;
    const auto filter = runtime::make<hostkit::HostIdentifier>();
    EXPECT_EQ(cities->Search(filter.get(), false, cursor.put()), runtime::E_NOTIMPL) << "no filters";

    struct Case {
        const char* what;
        ComPtr<gishost::FeatureClass> table;
        std::u16string target;
        std::u16string expression;
    };
    const Case cases[] = {{"no brackets", cities, u"city_label", u"city_count"},
                          {"unknown source", cities, u"city_label", u"[nothing]"},
                          {"unknown target", cities, u"nothing", u"[city_label]"},
                          {"a source of another type, copied feature by feature", wells, u"well_label",
                           u"[well_count]"}};
    for (const Case& c : cases) {
        ASSERT_EQ(c.table->Search(nullptr, false, cursor.put()), S_OK);
        const auto calculator = runtime::make<hostkit::FieldCalculator>();
        calculator->putref_Cursor(cursor.get());
        calculator->put_Field(c.target);
        calculator->put_Expression(c.expression);
        ComPtr<runtime::IUnknown> result;
        EXPECT_TRUE(runtime::failed(calculator->Calculate(result.put()))) << c.what;
    }
    EXPECT_EQ(runtime::make<hostkit::FieldCalculator>()->Calculate(nullptr), runtime::E_UNEXPECTED);
}

} // namespace
