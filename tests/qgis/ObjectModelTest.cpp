// The host object model over the open QGIS project, through the host
// interfaces: the project as one map, its layers in panel order, and fields
// listed exactly as gishost lists them over the same data.

#include "QgisTestSupport.h"

#include "gdalhost/TableFields.h"
#include "qgis/model/Application.h"
#include "qgis/model/FeatureClass.h"

#include <gtest/gtest.h>

#include <qgslayertree.h>
#include <qgsproject.h>

#include <gdal.h>

#include <map>

namespace {

using hostkit::FieldInfo;
using runtime::ComPtr;
using runtime::S_OK;

ComPtr<host::IMap> projectMap(qgishost::Application& application)
{
    ComPtr<runtime::IUnknown> document;
    ComPtr<host::IMap> map;
    application.get_Document(document.put());
    if (const auto mapDocument = document.asOrNull<host::IMapDocument>()) mapDocument->get_ActiveMap(map.put());
    return map;
}

QString nameOf(host::IMap& map)
{
    std::u16string name;
    map.get_Name(&name);
    return QString::fromStdU16String(name);
}

// Each layer's name, with " (features)" for a feature layer.
QStringList layersOf(host::IMap& map)
{
    QStringList out;
    std::int32_t count = 0;
    map.get_LayerCount(&count);
    for (std::int32_t i = 0; i < count; ++i) {
        ComPtr<host::ILayer> layer;
        std::u16string name;
        if (runtime::failed(map.get_Layer(i, layer.put())) || runtime::failed(layer->get_Name(&name))) continue;
        out << QString::fromStdU16String(name) + (layer.asOrNull<host::IFeatureLayer>() ? " (features)" : "");
    }
    return out;
}

std::vector<FieldInfo> qgisFields(qgishost::Application& application, const QString& layerName)
{
    const auto map = projectMap(application);
    std::int32_t count = 0;
    map->get_LayerCount(&count);
    for (std::int32_t i = 0; i < count; ++i) {
        ComPtr<host::ILayer> layer;
        std::u16string name;
        map->get_Layer(i, layer.put());
        layer->get_Name(&name);
        ComPtr<host::IFeatureClass> featureClass;
        const auto featureLayer = layer.asOrNull<host::IFeatureLayer>();
        if (name != layerName.toStdU16String() || !featureLayer ||
            runtime::failed(featureLayer->get_FeatureClass(featureClass.put())) || !featureClass)
            continue;
        std::vector<FieldInfo> fields;
        EXPECT_EQ(static_cast<qgishost::FeatureClass*>(featureClass.get())->fields(fields), S_OK);
        return fields;
    }
    ADD_FAILURE() << "no feature layer " << layerName.toStdString();
    return {};
}

std::vector<FieldInfo> gishostFields(const std::string& path, const char* layer)
{
    std::string problem;
    auto dataset = engine::Dataset::open(path, problem);
    if (!dataset) {
        ADD_FAILURE() << problem;
        return {};
    }
    gdalhost::TableFields table(engine::Table(std::move(dataset), layer));
    hostkit::FieldList fields;
    EXPECT_EQ(table.fields(fields), S_OK);
    return fields ? *fields : std::vector<FieldInfo>{};
}

// Everything a definition tells, as one line.
std::string describe(const FieldInfo& f)
{
    const QString text = QStringLiteral("%1 alias '%2' type %3 length %4 precision %5 scale %6 %7 %8 %9 default %10")
                             .arg(QString::fromStdU16String(f.name), QString::fromStdU16String(f.alias))
                             .arg(f.type)
                             .arg(f.length)
                             .arg(f.precision)
                             .arg(f.scale)
                             .arg(f.nullable ? "nullable" : "not-null", f.editable ? "editable" : "read-only",
                                  f.required ? "required" : "optional")
                             .arg(f.defaultValue.isEmpty()  ? QStringLiteral("none")
                                  : f.defaultValue.isNull() ? QStringLiteral("null")
                                                            : QStringLiteral("set"));
    return text.toStdString();
}

std::vector<std::string> describe(const std::vector<FieldInfo>& fields)
{
    std::vector<std::string> out;
    for (const FieldInfo& f : fields) out.push_back(describe(f));
    return out;
}

TEST(QgisObjectModel, TheProjectIsOneMapOfItsLayersInPanelOrder)
{
    qgistest::SampleProject project;
    QgsProject& qgis = *QgsProject::instance();
    const auto application = qgishost::makeApplication(qgis);
    const auto map = projectMap(*application);
    ASSERT_TRUE(map);
    EXPECT_EQ(nameOf(*map), QStringLiteral("Quillet sample"));
    // QGIS puts a layer added without a place at the top of the panel.
    EXPECT_EQ(layersOf(*map), QStringList({"places (features)", "cities (features)", "roads (features)",
                                           "parcels (features)", "rivers (features)", "lakes (features)",
                                           "wells (features)", "elevation"}));

    // The panel as it is now: a layer moved into a group, the title gone.
    QgsLayerTree& root = *qgis.layerTreeRoot();
    QgsLayerTreeLayer* places = root.findLayer(&project.layer(QStringLiteral("places")));
    root.findGroup(QStringLiteral("Water"))->insertChildNode(0, places->clone());
    root.removeChildNode(places);
    EXPECT_EQ(layersOf(*map).mid(3, 2), QStringList({"rivers (features)", "places (features)"}));
    qgis.setTitle(QString());
    EXPECT_EQ(nameOf(*map), QStringLiteral("Untitled"));
    ASSERT_TRUE(qgis.write(project.folder.filePath(QStringLiteral("field work.qgs"))));
    EXPECT_EQ(nameOf(*map), QStringLiteral("field work"));
}

TEST(QgisObjectModel, FieldsAreListedAsGishostListsThemOverTheSameData)
{
    qgistest::SampleProject project;
    const auto application = qgishost::makeApplication(*QgsProject::instance());
    const struct {
        QString layer;
        const char* file;
    } layers[] = {{"cities", "quillet_sample.gpkg"},
                  {"rivers", "rivers.shp"},
                  {"lakes", "quillet_sample.gdb"},
                  {"wells", "quillet_sample.gdb"}};
    for (const auto& l : layers)
        EXPECT_EQ(describe(qgisFields(*application, l.layer)),
                  describe(gishostFields(project.path(l.file), l.layer.toUtf8().constData())))
            << l.layer.toStdString();

    // An alias given in QGIS wins over the data source's.
    QgsVectorLayer& cities = project.layer(QStringLiteral("cities"));
    cities.setFieldAlias(cities.fields().indexFromName(QStringLiteral("city_label")), QStringLiteral("Town"));
    for (const FieldInfo& f : qgisFields(*application, QStringLiteral("cities"))) {
        if (f.name == u"city_label") {
            EXPECT_EQ(f.alias, u"Town");
        }
    }
}

// How many datasets GDAL holds open, by path.
std::map<std::string, int> openDatasets()
{
    GDALDatasetH* datasets = nullptr;
    int count = 0;
    GDALGetOpenDatasets(&datasets, &count);
    std::map<std::string, int> out;
    for (int i = 0; i < count; ++i) ++out[GDALGetDescription(datasets[i])];
    return out;
}

// Layers that read one file share one dataset of the engine, however often
// their tables are asked for.
TEST(QgisObjectModel, LayersOfOneSourceShareOneDataset)
{
    qgistest::SampleProject project;
    const auto application = qgishost::makeApplication(*QgsProject::instance());
    const auto map = projectMap(*application);
    std::map<std::string, int> before = openDatasets();
    std::vector<ComPtr<host::IFeatureClass>> held;
    std::int32_t count = 0;
    map->get_LayerCount(&count);
    for (int round = 0; round < 2; ++round)
        for (std::int32_t i = 0; i < count; ++i) {
            ComPtr<host::ILayer> layer;
            map->get_Layer(i, layer.put());
            ComPtr<host::IFeatureClass> featureClass;
            if (const auto featureLayer = layer.asOrNull<host::IFeatureLayer>())
                featureLayer->get_FeatureClass(featureClass.put());
            if (featureClass) held.push_back(featureClass);
        }
    ASSERT_GT(held.size(), 4u);
    const std::string gpkg = project.path("quillet_sample.gpkg");
    std::map<std::string, int> after = openDatasets();
    EXPECT_EQ(after[gpkg] - before[gpkg], 1) << "datasets the engine opened on the GeoPackage";
}

TEST(QgisObjectModel, AMemoryLayerListsItsFieldsByQgisType)
{
    qgistest::SampleProject project;
    const auto application = qgishost::makeApplication(*QgsProject::instance());
    EXPECT_EQ(describe(qgisFields(*application, QStringLiteral("places"))),
              (std::vector<std::string>{
                  "FID alias '' type 6 length 4 precision 0 scale 0 not-null read-only required default none",
                  "Shape alias '' type 7 length 0 precision 0 scale 0 nullable read-only required default none",
                  "name alias '' type 4 length 30 precision 0 scale 0 nullable editable optional default none",
                  "visits alias '' type 1 length 255 precision 255 scale 0 nullable editable optional default none",
                  "big alias '' type 101 length 255 precision 255 scale 0 nullable editable optional default none",
                  "ratio alias '' type 3 length 12 precision 12 scale 4 nullable editable optional default none",
                  "seen alias '' type 102 length 255 precision 0 scale 0 nullable editable optional default none",
                  "open alias '' type 100 length 255 precision 0 scale 0 nullable editable optional default none",
              }));
}

} // namespace
