// gishost answers the host contract on a PostGIS table, read back with
// libpq; read-only is a role that may only read the table.

#include "HostContract.h"
#include "PostgresTable.h"

#include "gishost/model/DocumentLoader.h"
#include "hostkit/HostClasses.h"

#include <gdal_priv.h>

namespace {

using namespace conformance;

class PostgresHost final : public HostUnderTest {
public:
    PostgresHost()
    {
        GDALAllRegister();
        if (!database_.available()) return;
        auto db = database_.session();
        writeStandardTable(db);
    }
    bool ready() const { return database_.available(); }

    ComPtr<host::IFeatureClass> table(Access access) override
    {
        const std::string connection =
            access == Access::ReadOnly ? "PG:" + readerConninfo(database_) : database_.gdalConnection();
        auto loaded = gishost::loadDocument({connection});
        for (const std::string& problem : loaded.problems) ADD_FAILURE() << problem;
        document_ = loaded.document;
        ComPtr<host::IMap> map;
        std::int32_t count = 0;
        if (!document_ || runtime::failed(document_->get_Item(0, map.put())) || runtime::failed(map->get_LayerCount(&count)))
            return nullptr;
        for (std::int32_t i = 0; i < count; ++i) {
            ComPtr<host::ILayer> layer;
            std::u16string name;
            ComPtr<host::IFeatureClass> featureClass;
            if (runtime::succeeded(map->get_Layer(i, layer.put())) && runtime::succeeded(layer->get_Name(&name)) &&
                name == u"standard")
                layer.asOrNull<host::IFeatureLayer>()->get_FeatureClass(featureClass.put());
            if (featureClass) return featureClass;
        }
        throw std::runtime_error("gishost lists no table \"standard\"");
    }

    std::vector<Variant> column(const std::u16string& field) override
    {
        auto db = database_.session();
        return readColumn(db, field);
    }

private:
    pgtest::Database database_;
    hostkit::HostClasses classes_;
    ComPtr<gishost::Document> document_;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(GishostOnPostgres, HostContract,
                         ::testing::Values(databaseHost<PostgresHost>(
                             [] { return static_cast<long>(hostkit::modelLife.objects); })),
                         hostName);
