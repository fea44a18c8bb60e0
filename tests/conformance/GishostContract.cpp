// gishost answers the host contract on GeoPackage, shapefile and FileGDB;
// where a format cannot do a thing, the profile says so.

#include "DataReadBack.h"
#include "GdalFormats.h"
#include "GdalTable.h"
#include "HostContract.h"

#include "gishost/model/DocumentLoader.h"
#include "hostkit/HostClasses.h"

#include <QTemporaryDir>

namespace {

using namespace conformance;

// The standard table in a dataset of one format, opened in gishost.
class GdalHost final : public HostUnderTest {
public:
    explicit GdalHost(const GdalFormat& format)
        : path_(folder_.filePath(QString::fromStdString(format.file)).toStdString())
    {
        writeStandardTable(path_, format.driver, layer_, format.layerOptions);
    }
    ~GdalHost() override
    {
        document_.reset();
        gistest::setWritable(path_, true);
    }

    ComPtr<host::IFeatureClass> table(Access access) override
    {
        if (access == Access::ReadOnly) gistest::setWritable(path_, false);
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

std::vector<HostFactory> gdalHosts()
{
    std::vector<HostFactory> hosts;
    for (const GdalFormat& format : gdalFormats())
        hosts.push_back({format.name, [&format] { return std::make_unique<GdalHost>(format); },
                         [] { return static_cast<long>(hostkit::modelLife.objects); }, format.profile});
    return hosts;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Gishost, HostContract, ::testing::ValuesIn(gdalHosts()), hostName);
