#include "engine/core/FileStamp.h"

#include <sys/stat.h>

namespace engine {

namespace {
std::int64_t nanoseconds(const timespec& t) { return std::int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec; }
} // namespace

FileStamp stampOf(const std::string& path)
{
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return {};
    return {true,
            static_cast<std::uint64_t>(info.st_dev),
            static_cast<std::uint64_t>(info.st_ino),
            static_cast<std::uint64_t>(info.st_size),
            nanoseconds(info.st_mtim),
            nanoseconds(info.st_ctim)};
}

std::vector<FileStamp> stampsOf(const std::vector<std::string>& paths)
{
    std::vector<FileStamp> stamps;
    stamps.reserve(paths.size());
    for (const std::string& p : paths) stamps.push_back(stampOf(p));
    return stamps;
}

} // namespace engine
