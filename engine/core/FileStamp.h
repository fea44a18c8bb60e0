#pragma once

// What a file on disk is at one moment; another program's write changes it.

#include <cstdint>
#include <string>
#include <vector>

namespace engine {

struct FileStamp {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

FileStamp stampOf(const std::string& path);

// The stamps of several files, in their order.
std::vector<FileStamp> stampsOf(const std::vector<std::string>& paths);

} // namespace engine
