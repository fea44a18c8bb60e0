#include "GdalFormats.h"

namespace conformance {

std::map<std::int32_t, TypeOutcome> ownCodes(std::map<std::int32_t, TypeOutcome> differences)
{
    for (std::int32_t code = 100; code <= 109; ++code) differences.try_emplace(code);
    return differences;
}

namespace {

constexpr HResult unsupported = runtime::E_NOTIMPL;
constexpr TypeOutcome asText{runtime::S_OK, host::fieldTypeString};

Profile geoPackage()
{
    Profile p;
    // GeoPackage has no time, UUID or list columns: GDAL writes them as text.
    p.types = ownCodes({{103, asText}, {105, asText}, {106, asText}, {107, asText}, {108, asText}, {109, asText}});
    p.dropped = {Property::PrecisionAndScale};
    return p;
}

// The .dbf has integers, reals, text, dates and logicals; no alias, default
// or not-null; field names of at most ten bytes in its own encoding.
Profile shapefile()
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

// FileGDB has no big integer (GDAL writes a double), date-only or time
// (a date-time), UUID-as-such or list columns.
Profile fileGdb()
{
    Profile p;
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
    return p;
}

} // namespace

const std::vector<GdalFormat>& gdalFormats()
{
    static const std::vector<GdalFormat> formats{
        {"GeoPackage", "GPKG", "standard.gpkg", {}, geoPackage()},
        {"Shapefile", "ESRI Shapefile", "standard.shp", {}, shapefile()},
        // Names in UTF-8, where ten bytes can be five characters.
        {"ShapefileUtf8", "ESRI Shapefile", "standard.shp", {"ENCODING=UTF-8"}, shapefile()},
        {"FileGDB", "OpenFileGDB", "standard.gdb", {"CREATE_SHAPE_AREA_AND_LENGTH_FIELDS=YES"}, fileGdb()},
    };
    return formats;
}

} // namespace conformance
