#include "gishost/model/DocumentLoader.h"

#include <cpl_conv.h>

namespace gishost {

ComPtr<Map> openMap(const std::string& path, std::string& problem)
{
    // gishost writes nothing beside a dataset it only opens: GDAL 3.10 kept
    // a GeoPackage's metadata in a side file (.aux.xml) written at close.
    CPLSetConfigOption("GDAL_PAM_ENABLED", "NO");
    auto dataset = engine::Dataset::open(path, problem);
    return dataset ? runtime::make<Map>(std::move(dataset)) : ComPtr<Map>();
}

LoadedDocument loadDocument(const std::vector<std::string>& paths)
{
    LoadedDocument loaded;
    std::vector<ComPtr<Map>> maps;
    for (const std::string& path : paths) {
        std::string problem;
        if (auto map = openMap(path, problem))
            maps.push_back(std::move(map));
        else
            loaded.problems.push_back(problem);
    }
    loaded.document = runtime::make<Document>(std::move(maps));
    return loaded;
}

} // namespace gishost
