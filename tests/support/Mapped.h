#pragma once

// Whether a file is mapped into this process, as /proc/self/maps lists it:
// what a module's unloading comes down to, whatever the loader's books say.

#include <filesystem>
#include <fstream>
#include <string>

namespace testsupport {

inline bool isMapped(const std::string& path)
{
    std::error_code ec;
    const std::string file = std::filesystem::canonical(path, ec).string();
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);)
        if (line.size() > file.size() && line.compare(line.size() - file.size(), file.size(), file) == 0 &&
            line[line.size() - file.size() - 1] == ' ')
            return true;
    return false;
}

} // namespace testsupport
