#include "DataReadBack.h"
#include "Renamed.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace gistest {

namespace fs = std::filesystem;

namespace {
struct GdalDrivers : ::testing::Environment {
    void SetUp() override { GDALAllRegister(); }
};
[[maybe_unused]] const auto* gdalDrivers = ::testing::AddGlobalTestEnvironment(new GdalDrivers);
} // namespace

namespace {

std::map<std::string, std::string> gpkgAliases(GDALDataset& dataset, const std::string& table)
{
    std::map<std::string, std::string> aliases;
    OGRLayer* exists =
        dataset.ExecuteSQL("SELECT 1 FROM sqlite_master WHERE name = 'gpkg_data_columns'", nullptr, nullptr);
    const bool present = exists && exists->GetFeatureCount() > 0;
    if (exists) dataset.ReleaseResultSet(exists);
    if (!present) return aliases;
    const std::string sql =
        "SELECT column_name, name FROM gpkg_data_columns WHERE table_name = '" + table + "' AND name IS NOT NULL";
    if (OGRLayer* rows = dataset.ExecuteSQL(sql.c_str(), nullptr, nullptr)) {
        for (auto& row : *rows) aliases[row->GetFieldAsString(0)] = row->GetFieldAsString(1);
        dataset.ReleaseResultSet(rows);
    }
    return aliases;
}

std::string cell(OGRFeature& feature, int i)
{
    if (!feature.IsFieldSet(i)) return "<unset>";
    if (feature.IsFieldNull(i)) return "<null>";
    return feature.GetFieldAsString(i);
}

} // namespace

LayerContent readLayer(const std::string& path, const std::string& layerName)
{
    GDALDatasetUniquePtr dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
    if (!dataset) throw std::runtime_error("cannot open " + path);
    OGRLayer* layer = dataset->GetLayerByName(layerName.c_str());
    if (!layer) throw std::runtime_error("no layer " + layerName);
    const bool geoPackage = std::string(dataset->GetDriver()->GetDescription()) == "GPKG";
    const auto aliases = geoPackage ? gpkgAliases(*dataset, layerName) : std::map<std::string, std::string>{};

    LayerContent content;
    OGRFeatureDefn& definition = *layer->GetLayerDefn();
    for (int i = 0; i < definition.GetFieldCount(); ++i) {
        const OGRFieldDefn& f = *definition.GetFieldDefn(i);
        const auto alias = aliases.find(f.GetNameRef());
        content.fields[f.GetNameRef()] = {f.GetType(), f.GetSubType(), f.GetWidth(), f.GetPrecision(),
                                          f.IsNullable() != 0, f.GetDefault() ? f.GetDefault() : "",
                                          alias != aliases.end() ? alias->second : f.GetAlternativeNameRef(),
                                          f.GetDomainName()};
    }
    for (auto& feature : *layer) {
        auto& row = content.rows[feature->GetFID()];
        for (int i = 0; i < definition.GetFieldCount(); ++i) row[definition.GetFieldDefn(i)->GetNameRef()] = cell(*feature, i);
        if (const OGRGeometry* g = feature->GetGeometryRef()) {
            std::vector<unsigned char> wkb(g->WkbSize());
            g->exportToWkb(wkbNDR, wkb.data(), wkbVariantIso);
            content.geometries[feature->GetFID()] = wkb;
        }
    }
    return content;
}

std::map<std::string, std::string> filesUnder(const std::string& path)
{
    std::map<std::string, std::string> files;
    auto add = [&](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[p.string()] = bytes.str();
    };
    if (fs::is_directory(path)) {
        for (const auto& entry : fs::recursive_directory_iterator(path))
            if (entry.is_regular_file()) add(entry.path());
    } else {
        add(path);
    }
    return files;
}

LayerContent changed(LayerContent content, const std::vector<std::string>& deleted,
                     const std::vector<std::pair<std::string, std::string>>& renamed)
{
    deleteAndRename(content.fields, content.rows, deleted, renamed);
    return content;
}

std::map<std::string, std::string> datasetFiles(const std::string& path)
{
    if (fs::path(path).extension() != ".shp") return filesUnder(path);
    std::map<std::string, std::string> files;
    for (const char* ext : {".shp", ".shx", ".dbf", ".prj", ".cpg"})
        if (const auto p = fs::path(path).replace_extension(ext); fs::exists(p)) files.merge(filesUnder(p.string()));
    return files;
}

void setWritable(const std::string& path, bool writable)
{
    const auto write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    const auto option = writable ? fs::perm_options::add : fs::perm_options::remove;
    const fs::path dataset(path);
    std::vector<fs::path> files;
    if (fs::is_directory(dataset)) {
        for (const auto& entry : fs::recursive_directory_iterator(dataset)) files.push_back(entry.path());
        files.push_back(dataset);
    } else {
        for (const auto& entry : fs::directory_iterator(dataset.parent_path()))
            if (entry.path().stem() == dataset.stem()) files.push_back(entry.path());
    }
    for (const fs::path& file : files) fs::permissions(file, write, option);
}

} // namespace gistest
