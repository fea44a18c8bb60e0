#include "gishost/model/DocumentLoader.h"

namespace gishost {

LoadedDocument loadDocument(const std::vector<std::string>& paths, OpenMode mode)
{
    LoadedDocument loaded;
    std::vector<ComPtr<Map>> maps;
    for (const std::string& path : paths) {
        std::string problem;
        if (auto source = DataSource::open(path, mode, problem))
            maps.push_back(runtime::make<Map>(std::move(source)));
        else
            loaded.problems.push_back(problem);
    }
    loaded.document = runtime::make<Document>(std::move(maps));
    return loaded;
}

} // namespace gishost
