#pragma once

#include "gishost/model/Document.h"

#include <string>
#include <vector>

namespace gishost {

struct LoadedDocument {
    ComPtr<Document> document;
    // One sentence for each path that could not be opened.
    std::vector<std::string> problems;
};

// One path opened as a map (read-only until a change is asked for); null,
// with `problem` set (one sentence), when it cannot be opened.
ComPtr<Map> openMap(const std::string& path, std::string& problem);

// Opens each path as one map; a path that fails does not stop the others.
LoadedDocument loadDocument(const std::vector<std::string>& paths);

} // namespace gishost
