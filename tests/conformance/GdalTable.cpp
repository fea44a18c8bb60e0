#include "GdalTable.h"

#include "gdalhost/DefaultValue.h"
#include "gdalhost/FieldTypes.h"
#include "engine/sqlite/GpkgAliases.h"
#include "gdalhost/Text.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <stdexcept>

namespace conformance {

namespace {

void check(bool ok, const std::string& what)
{
    if (!ok) throw std::runtime_error(what + ": " + CPLGetLastErrorMsg());
}

std::unique_ptr<OGRGeometry> polygon(std::size_t row)
{
    OGRGeometry* made = nullptr;
    OGRGeometryFactory::createFromWkt(standardShape(row).c_str(), nullptr, &made);
    return std::unique_ptr<OGRGeometry>(made);
}

void setValue(OGRFeature& feature, int index, const Variant& value)
{
    if (value.isNull() || value.isEmpty()) {
        feature.SetFieldNull(index);
    } else if (const auto* n = value.get<std::int32_t>()) {
        feature.SetField(index, *n);
    } else if (const auto* d = value.get<double>()) {
        feature.SetField(index, *d);
    } else if (const auto* s = value.get<std::u16string>()) {
        feature.SetField(index, gdalhost::toUtf8(*s).c_str());
    }
}

std::unique_ptr<OGRFieldDefn> ogrField(const ContractField& column)
{
    const auto type = gdalhost::ogrTypeOf(column.type);
    check(type.has_value(), "a type code of the standard table");
    auto field = std::make_unique<OGRFieldDefn>(gdalhost::toUtf8(column.name).c_str(), type->type);
    field->SetSubType(type->subType);
    field->SetWidth(column.length);
    field->SetAlternativeName(gdalhost::toUtf8(column.alias).c_str());
    std::optional<std::string> ogrDefault;
    check(runtime::succeeded(gdalhost::defaultFromVariant(column.defaultValue, type->type, ogrDefault)), "a default");
    if (ogrDefault) field->SetDefault(ogrDefault->c_str());
    return field;
}

} // namespace

// A square, a triangle, a square with a hole, a long thin strip and an
// L-shaped ring: polygons as users draw them, not one repeated shape.
std::string standardShape(std::size_t row)
{
    static const char* const shapes[] = {
        "POLYGON ((0 0,0 10,10 10,10 0,0 0))",
        "POLYGON ((20 0,25 8.5,30 0,20 0))",
        "POLYGON ((40 0,40 10,50 10,50 0,40 0),(43 3,47 3,47 7,43 7,43 3))",
        "POLYGON ((60 0,60 0.25,90 0.5,90 0,60 0))",
        "POLYGON ((100 0,100 10,104 10,104 4,110 4,110 0,100 0))",
    };
    return shapes[row % std::size(shapes)];
}

void writeStandardTable(const std::string& path, const std::string& driverName, const std::string& layerName,
                        const std::vector<std::string>& layerOptions)
{
    GDALAllRegister();
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName.c_str());
    check(driver != nullptr, "the driver " + driverName);
    GDALDatasetUniquePtr dataset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    check(dataset != nullptr, "creating " + path);
    CPLStringList options;
    for (const std::string& o : layerOptions) options.AddString(o.c_str());
    OGRSpatialReference srs;
    srs.importFromEPSG(3857);
    OGRLayer* layer = dataset->CreateLayer(layerName.c_str(), &srs, wkbPolygon, options.List());
    check(layer != nullptr, "creating the layer");

    const ContractTable& table = standardTable();
    const bool geoPackage = driverName == "GPKG";
    for (const ContractField& column : table.fields) {
        check(layer->CreateField(ogrField(column).get()) == OGRERR_NONE, "creating " + gdalhost::toUtf8(column.name));
        // GDAL 3.6 writes no GeoPackage alias; the hosts read gpkg_data_columns.
        if (geoPackage && !column.alias.empty())
            check(runtime::succeeded(engine::writeGpkgAlias(*dataset, layerName, gdalhost::toUtf8(column.name),
                                                            gdalhost::toUtf8(column.alias))),
                  "writing an alias");
    }
    for (std::size_t row = 0; row < table.rows; ++row) {
        OGRFeatureUniquePtr feature(OGRFeature::CreateFeature(layer->GetLayerDefn()));
        for (const ContractField& column : table.fields)
            setValue(*feature, feature->GetFieldIndex(gdalhost::toUtf8(column.name).c_str()), column.values[row]);
        feature->SetGeometryDirectly(polygon(row).release());
        check(layer->CreateFeature(feature.get()) == OGRERR_NONE, "writing a row");
    }
}

std::vector<Variant> readColumn(const std::string& path, const std::string& layerName, const std::u16string& field)
{
    GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    check(dataset != nullptr, "opening " + path);
    OGRLayer* layer = dataset->GetLayerByName(layerName.c_str());
    check(layer != nullptr, "the layer " + layerName);
    const int index = layer->GetLayerDefn()->GetFieldIndex(gdalhost::toUtf8(field).c_str());
    check(index >= 0, "the field " + gdalhost::toUtf8(field));
    const OGRFieldType type = layer->GetLayerDefn()->GetFieldDefn(index)->GetType();
    std::vector<Variant> values;
    for (auto& feature : *layer) {
        if (!feature->IsFieldSetAndNotNull(index))
            values.emplace_back(Variant::Null{});
        else if (type == OFTInteger)
            values.emplace_back(feature->GetFieldAsInteger(index));
        else if (type == OFTInteger64)
            values.emplace_back(static_cast<std::int64_t>(feature->GetFieldAsInteger64(index)));
        else if (type == OFTReal)
            values.emplace_back(feature->GetFieldAsDouble(index));
        else
            values.emplace_back(gdalhost::toU16(feature->GetFieldAsString(index)));
    }
    return values;
}

} // namespace conformance
