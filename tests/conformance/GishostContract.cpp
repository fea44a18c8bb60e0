// gishost answers the host contract on GeoPackage, shapefile and FileGDB;
// where a format cannot do a thing, the profile says so.

#include "GdalTable.h"
#include "HostContract.h"

#include "gishost/model/DocumentLoader.h"
#include "hostkit/HostClasses.h"

#include <QTemporaryDir>

namespace {

using namespace conformance;

struct Format {
    const char* driver;
    const char* file;
    std::vector<std::string> layerOptions;
};

// The standard table in a dataset of one format, opened in gishost.
class GdalHost final : public HostUnderTest {
public:
    explicit GdalHost(const Format& format) : path_(folder_.filePath(QString::fromLatin1(format.file)).toStdString())
    {
        writeStandardTable(path_, format.driver, layer_, format.layerOptions);
    }
    ~GdalHost() override
    {
        document_.reset();
        setWritable(path_, true);
    }

    ComPtr<host::IFeatureClass> table(Access access) override
    {
        if (access == Access::ReadOnly) setWritable(path_, false);
        document_ = gishost::loadDocument({path_}).document;
        ComPtr<host::IMap> map;
        ComPtr<host::ILayer> layer;
        ComPtr<host::IFeatureClass> featureClass;
        if (document_ && runtime::succeeded(document_->get_Item(0, map.put())) &&
            runtime::succeeded(map->get_Layer(0, layer.put())))
            layer.asOrNull<host::IFeatureLayer>()->get_FeatureClass(featureClass.put());
        return featureClass;
    }

    std::vector<Variant> column(const std::u16string& field) override { return readColumn(path_, layer_, field); }

private:
    QTemporaryDir folder_;
    std::string path_;
    std::string layer_ = "standard";
    hostkit::HostClasses classes_;
    ComPtr<gishost::Document> document_;
};

HostFactory gdalHost(const char* name, Format format, Profile profile)
{
    return {name, [format] { return std::make_unique<GdalHost>(format); },
            [] { return static_cast<long>(hostkit::modelLife.objects); }, std::move(profile)};
}

// gishost's own type codes from 100 on, kept unless a format says otherwise.
std::map<std::int32_t, TypeOutcome> ownCodes(std::map<std::int32_t, TypeOutcome> differences)
{
    for (std::int32_t code = 100; code <= 109; ++code) differences.try_emplace(code);
    return differences;
}

constexpr HResult unsupported = runtime::E_NOTIMPL;
constexpr TypeOutcome asText{runtime::S_OK, host::fieldTypeString};

HostFactory geoPackage()
{
    Profile p;
    // GeoPackage has no time, UUID or list columns: GDAL writes them as text.
    p.types = ownCodes({{103, asText}, {105, asText}, {106, asText}, {107, asText}, {108, asText}, {109, asText}});
    p.dropped = {Property::PrecisionAndScale};
    return gdalHost("GeoPackage", {"GPKG", "standard.gpkg", {}}, p);
}

// The .dbf has integers, reals, text, dates and logicals; no alias, default
// or not-null; field names of at most ten bytes in its own encoding.
Profile shapefileProfile()
{
    Profile p;
    p.types = ownCodes({{host::fieldTypeSmallInteger, {runtime::S_OK, host::fieldTypeInteger}},
                        {host::fieldTypeSingle, {runtime::S_OK, host::fieldTypeDouble}},
                        {host::fieldTypeDate, {unsupported}},
                        {host::fieldTypeBlob, {unsupported}},
                        {100, {runtime::S_OK, host::fieldTypeInteger}},
                        {103, {unsupported}},
                        {104, asText},
                        {105, asText},
                        {106, {unsupported}},
                        {107, {unsupported}},
                        {108, {unsupported}},
                        {109, {unsupported}}});
    p.dropped = {Property::Alias, Property::DefaultValue, Property::NotNull};
    return p;
}

HostFactory shapefile()
{
    return gdalHost("Shapefile", {"ESRI Shapefile", "standard.shp", {}}, shapefileProfile());
}

// Names in UTF-8, where ten bytes can be five characters.
HostFactory utf8Shapefile()
{
    return gdalHost("ShapefileUtf8", {"ESRI Shapefile", "standard.shp", {"ENCODING=UTF-8"}}, shapefileProfile());
}

HostFactory fileGdb()
{
    Profile p;
    // FileGDB has no big integer (GDAL writes a double), date-only or time
    // (a date-time), UUID-as-such or list columns.
    p.types = ownCodes({{100, {runtime::S_OK, host::fieldTypeInteger}},
                        {101, {unsupported}},
                        {102, {runtime::S_OK, host::fieldTypeDate}},
                        {103, {runtime::S_OK, host::fieldTypeDate}},
                        {104, asText},
                        {105, asText},
                        {106, asText},
                        {107, asText},
                        {108, asText},
                        {109, asText}});
    p.dropped = {Property::PrecisionAndScale};
    p.requiredField = u"Shape_Area";
    return gdalHost("FileGDB", {"OpenFileGDB", "standard.gdb", {"CREATE_SHAPE_AREA_AND_LENGTH_FIELDS=YES"}}, p);
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Gishost, HostContract,
                         ::testing::Values(geoPackage(), shapefile(), utf8Shapefile(), fileGdb()), hostName);
