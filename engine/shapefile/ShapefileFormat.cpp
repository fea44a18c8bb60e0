// Shapefiles: the engine writes each schema change and copy as a new .dbf
// renamed over the old one (DbfRewrite.h); GDAL only reads.

#include "engine/shapefile/ShapefileFormat.h"

#include "engine/shapefile/DbfRewrite.h"
#include "engine/core/Format.h"
#include "engine/core/Schema.h"
#include "engine/core/Table.h"
#include "engine/core/WorkCopy.h"

#include <filesystem>
#include <set>

namespace engine {

using runtime::HResult;

namespace fs = std::filesystem;

namespace {

class ShapefileFormat final : public Format {
public:
    // The tables' .dbf files: the fields live there. Hidden ones are work
    // files of a change.
    std::vector<std::string> watchedFiles(const std::string& path) const override
    {
        std::error_code ec;
        if (!fs::is_directory(path, ec)) return {dbf::dbfPathOf(path, "")};
        std::vector<std::string> files;
        for (const std::string& file : Format::watchedFiles(path)) {
            if (fs::path(file).filename().string().front() == '.') continue;
            std::string extension = fs::path(file).extension().string();
            for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (extension == ".dbf") files.push_back(file);
        }
        return files;
    }

    // The new .dbf is written in the folder, and takes the old one's place.
    bool writable(const std::string& path) const override
    {
        std::error_code ec;
        const fs::path folder = fs::is_directory(path, ec) ? fs::path(path) : fs::path(path).parent_path();
        // The folder itself, not the other data it holds.
        if (!writableFile(folder.empty() ? "." : folder.string())) return false;
        for (const std::string& dbf : watchedFiles(path))
            if (!Format::writable(dbf)) return false;
        return true;
    }

    // A change killed mid-rewrite leaves its hidden work .dbf beside the
    // table: it goes when the dataset is opened, not at the next change.
    void recover(const std::string& path) const override
    {
        for (const std::string& dbf : watchedFiles(path)) WorkCopy::recover(dbf);
    }

    bool readsThroughGdal() const noexcept override { return false; }

    // A .shp names a table; a folder holds one for each .shp or .dbf.
    std::vector<std::string> tableNames(const std::string& path, GDALDataset*) const override
    {
        std::error_code ec;
        if (!fs::is_directory(path, ec)) return {fs::path(path).stem().string()};
        std::set<std::string> names;
        for (const std::string& dbf : watchedFiles(path)) names.insert(fs::path(dbf).stem().string());
        return {names.begin(), names.end()};
    }

    std::shared_ptr<const Schema> readFields(const std::string& path, GDALDataset*,
                                             const std::string& table) const override
    {
        const std::string dbf = dbf::dbfPathOf(path, table);
        const dbf::HeaderView header(dbf);
        if (!header.layer()) return nullptr;
        auto schema = schemaOf(*header.layer());
        // The shapes live in the .shp, which the header knows nothing of.
        std::error_code ec;
        if (fs::exists(fs::path(dbf).replace_extension(".shp"), ec) || fs::exists(fs::path(dbf).replace_extension(".SHP"), ec))
            schema->geometries.push_back({"", true});
        return schema;
    }

    HResult addField(const Table& table, const OGRFieldDefn& field, const std::string&) const override
    {
        return dbf::addField(dbfOf(table), field);
    }
    HResult deleteField(const Table& table, const std::string& name) const override
    {
        return dbf::deleteField(dbfOf(table), name);
    }
    HResult copyColumn(const Table& table, const std::string& from, const std::string& to) const override
    {
        return dbf::copyColumn(dbfOf(table), from, to);
    }

private:
    static std::string dbfOf(const Table& table) { return dbf::dbfPathOf(table.dataset().path(), table.name()); }
};

} // namespace

void registerShapefileFormat(FormatRegistry& formats)
{
    static const ShapefileFormat format;
    formats.add("ESRI Shapefile", format);
}

} // namespace engine
