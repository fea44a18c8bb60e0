// The QGIS adapter answers the host contract on GeoPackage, shapefile,
// FileGDB and PostGIS layers of a project, and on a memory layer, which
// only QGIS's own provider changes. Opening data again means what it means
// in QGIS: the project is saved and read anew, so what the project keeps
// (aliases) comes back with it.

#include "DataReadBack.h"
#include "GdalFormats.h"
#include "GdalTable.h"
#include "HostContract.h"
#include "PostgresTable.h"
#include "QgisTestSupport.h"

#include "qgis/model/Application.h"
#include "qgis/model/QgisCompat.h"
#include "hostkit/HostClasses.h"

#include <qgsdatasourceuri.h>
#include <qgsfeatureiterator.h>
#include <qgsproject.h>
#include <qgsvectordataprovider.h>
#include <qgsvectorlayer.h>

#include <QTemporaryDir>

namespace {

using namespace conformance;

// A project's first layer, through the host's interfaces.
ComPtr<host::IFeatureClass> firstFeatureClass(QgsProject& project)
{
    const auto application = qgishost::makeApplication(project);
    ComPtr<runtime::IUnknown> document;
    ComPtr<host::IMap> map;
    ComPtr<host::ILayer> layer;
    ComPtr<host::IFeatureClass> featureClass;
    application->get_Document(document.put());
    if (const auto mapDocument = document.asOrNull<host::IMapDocument>())
        mapDocument->get_ActiveMap(map.put());
    if (map && runtime::succeeded(map->get_Layer(0, layer.put())))
        if (const auto featureLayer = layer.asOrNull<host::IFeatureLayer>())
            featureLayer->get_FeatureClass(featureClass.put());
    return featureClass;
}

long liveObjects() { return static_cast<long>(hostkit::modelLife.objects); }

// A project of one layer that, opened again, is saved and read anew.
// Earlier projects stay open, as a case may still hold their tables.
class SavedProjects {
public:
    explicit SavedProjects(const QString& file) : file_(file) {}

    QgsProject& open(QgsVectorLayer* layer)
    {
        projects_.push_back(std::make_unique<QgsProject>());
        projects_.back()->addMapLayer(layer);
        return *projects_.back();
    }
    QgsProject& reopen()
    {
        EXPECT_TRUE(projects_.back()->write(file_));
        projects_.push_back(std::make_unique<QgsProject>());
        EXPECT_TRUE(projects_.back()->read(file_));
        return *projects_.back();
    }
    void close() { projects_.clear(); }

private:
    QString file_;
    std::vector<std::unique_ptr<QgsProject>> projects_;
};

// The standard table in a dataset of one format, a layer of a QGIS project.
class QgisFileHost final : public HostUnderTest {
public:
    explicit QgisFileHost(const GdalFormat& format)
        : path_(folder_.filePath(QString::fromStdString(format.file)).toStdString()),
          projects_(folder_.filePath(QStringLiteral("standard.qgs")))
    {
        const qgistest::GdalAsElsewhere plainGdal;
        writeStandardTable(path_, format.driver, layer_, format.layerOptions);
        const QString source = QString::fromStdString(path_) + "|layername=" + QString::fromStdString(layer_);
        projects_.open(new QgsVectorLayer(source, QStringLiteral("standard"), QStringLiteral("ogr")));
    }
    ~QgisFileHost() override
    {
        projects_.close();
        gistest::setWritable(path_, true);
    }

    ComPtr<host::IFeatureClass> table(Access access) override
    {
        if (access == Access::ReadOnly) gistest::setWritable(path_, false);
        return firstFeatureClass(projects_.reopen());
    }

    std::vector<Variant> column(const std::u16string& field) override
    {
        const qgistest::GdalAsElsewhere plainGdal;
        return readColumn(path_, layer_, field);
    }

private:
    QTemporaryDir folder_;
    std::string path_;
    std::string layer_ = "standard";
    hostkit::HostClasses classes_;
    SavedProjects projects_;
};

// The standard table in PostGIS, a layer of a QGIS project, read back with
// libpq; read-only is the layer connecting as a role that may only read
// (its password in the layer's source).
class QgisPostgresHost final : public HostUnderTest {
public:
    QgisPostgresHost() : projects_(folder_.filePath(QStringLiteral("standard.qgs")))
    {
        if (!database_.available()) return;
        auto db = database_.session();
        writeStandardTable(db);
        projects_.open(layer(database_.conninfo()));
    }
    ~QgisPostgresHost() override { projects_.close(); }
    bool ready() const { return database_.available(); }

    ComPtr<host::IFeatureClass> table(Access access) override
    {
        if (access == Access::ReadOnly) return firstFeatureClass(projects_.open(layer(readerConninfo(database_))));
        return firstFeatureClass(projects_.reopen());
    }

    std::vector<Variant> column(const std::u16string& field) override
    {
        auto db = database_.session();
        return readColumn(db, field);
    }

private:
    static QgsVectorLayer* layer(const std::string& conninfo)
    {
        return qgistest::postgresLayer(QgsDataSourceUri(QString::fromStdString(conninfo)), QStringLiteral("public"),
                                       QStringLiteral("standard"), QStringLiteral("standard"));
    }

    QTemporaryDir folder_;
    pgtest::Database database_;
    hostkit::HostClasses classes_;
    SavedProjects projects_;
};

QVariant qgisValue(const Variant& value)
{
    if (const auto* n = value.get<std::int32_t>()) return *n;
    if (const auto* d = value.get<double>()) return *d;
    if (const auto* s = value.get<std::u16string>()) return QString::fromStdU16String(*s);
    return {};
}

Variant hostValue(const QVariant& value)
{
    if (value.isNull()) return Variant::Null{};
    switch (value.userType()) {
    case QMetaType::Int:
        return value.toInt();
    case QMetaType::LongLong:
        return static_cast<std::int64_t>(value.toLongLong());
    case QMetaType::Double:
        return value.toDouble();
    default:
        return value.toString().toStdU16String();
    }
}

QgsField memoryField(const ContractField& column)
{
    const QString name = QString::fromStdU16String(column.name);
    switch (column.type) {
    case host::fieldTypeString:
        return qgishost::compat::makeField(name, QMetaType::QString, QStringLiteral("string"), column.length);
    case host::fieldTypeDouble:
        return qgishost::compat::makeField(name, QMetaType::Double, QStringLiteral("double"));
    default:
        return qgishost::compat::makeField(name, QMetaType::Int, QStringLiteral("integer"));
    }
}

// The standard table as a QGIS memory layer: its data lives in QGIS alone,
// so it is read back through QGIS's layer, past the host, and opened again
// it is the same layer. Read-only is the layer marked so in the project.
class QgisMemoryHost final : public HostUnderTest {
public:
    QgisMemoryHost()
    {
        const ContractTable& table = standardTable();
        layer_ = new QgsVectorLayer(QStringLiteral("Polygon?crs=EPSG:3857"), QStringLiteral("standard"),
                                    QStringLiteral("memory"));
        project_.addMapLayer(layer_);
        QList<QgsField> fields;
        for (const ContractField& f : table.fields) fields << memoryField(f);
        layer_->dataProvider()->addAttributes(fields);
        layer_->updateFields();
        for (const ContractField& f : table.fields)
            if (!f.alias.empty())
                layer_->setFieldAlias(layer_->fields().indexFromName(QString::fromStdU16String(f.name)),
                                      QString::fromStdU16String(f.alias));
        QgsFeatureList features;
        for (std::size_t row = 0; row < table.rows; ++row) {
            QgsFeature feature(layer_->fields());
            for (const ContractField& f : table.fields)
                feature.setAttribute(QString::fromStdU16String(f.name), qgisValue(f.values[row]));
            feature.setGeometry(QgsGeometry::fromWkt(QString::fromStdString(standardShape(row))));
            features << feature;
        }
        layer_->dataProvider()->addFeatures(features);
    }

    ComPtr<host::IFeatureClass> table(Access access) override
    {
        layer_->setReadOnly(access == Access::ReadOnly);
        return firstFeatureClass(project_);
    }

    std::vector<Variant> column(const std::u16string& field) override
    {
        const int index = layer_->fields().indexFromName(QString::fromStdU16String(field));
        EXPECT_GE(index, 0) << QString::fromStdU16String(field).toStdString();
        std::map<QgsFeatureId, Variant> byId;
        QgsFeatureIterator features =
            layer_->getFeatures(qgishost::compat::attributesOnly().setSubsetOfAttributes(QgsAttributeList{index}));
        QgsFeature feature;
        while (index >= 0 && features.nextFeature(feature)) byId[feature.id()] = hostValue(feature.attribute(index));
        std::vector<Variant> values;
        for (const auto& [id, value] : byId) values.push_back(value);
        return values;
    }

private:
    hostkit::HostClasses classes_;
    QgsProject project_;
    QgsVectorLayer* layer_ = nullptr;
};

// The formats as gishost has them, but that the project keeps every alias.
Profile inProject(Profile profile)
{
    profile.dropped.erase(Property::Alias);
    return profile;
}

// QGIS has no short integer, single or UUID type; its memory provider keeps
// no default or not-null constraint, and holds JSON from 3.40 on (not in 3.22).
Profile memoryProfile()
{
    constexpr bool holdsJson = _QGIS_VERSION_INT >= 34000;
    Profile p;
    p.types = ownCodes({{host::fieldTypeSmallInteger, {runtime::S_OK, host::fieldTypeInteger}},
                        {host::fieldTypeSingle, {runtime::S_OK, host::fieldTypeDouble}},
                        {104, {holdsJson ? runtime::S_OK : runtime::E_NOTIMPL}},
                        {105, {runtime::S_OK, host::fieldTypeString}}});
    p.dropped = {Property::DefaultValue, Property::NotNull};
    return p;
}

std::vector<HostFactory> qgisHosts()
{
    std::vector<HostFactory> hosts;
    for (const GdalFormat& format : gdalFormats())
        hosts.push_back({format.name, [&format] { return std::make_unique<QgisFileHost>(format); }, liveObjects,
                         inProject(format.profile)});
    hosts.push_back({"Memory", [] { return std::make_unique<QgisMemoryHost>(); }, liveObjects, memoryProfile()});
    return hosts;
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Qgis, HostContract, ::testing::ValuesIn(qgisHosts()), hostName);
INSTANTIATE_TEST_SUITE_P(QgisOnPostgres, HostContract, ::testing::Values(databaseHost<QgisPostgresHost>(liveObjects)),
                         hostName);
