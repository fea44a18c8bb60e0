#include "gishost/model/DocumentLoader.h"

namespace gishost {

LoadedDocument loadDocument(const std::vector<std::string>& paths)
{
    LoadedDocument loaded;
    std::vector<ComPtr<Map>> maps;
    for (const std::string& path : paths) {
        std::string problem;
        if (auto dataset = engine::Dataset::open(path, problem))
            maps.push_back(runtime::make<Map>(std::move(dataset)));
        else
            loaded.problems.push_back(problem);
    }
    loaded.document = runtime::make<Document>(std::move(maps));
    return loaded;
}

} // namespace gishost
