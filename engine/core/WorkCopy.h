#pragma once

// A dataset that is a folder (a FileGDB), changed as a copy beside it and
// swapped in: the folder on disk is at every instant the whole old dataset
// or the whole new one, and after a crash recover() makes it so. Files the
// change does not touch are not copied: they are linked into the copy just
// before the swap, so a change costs the files it rewrites.

#include "engine/core/FileStamp.h"
#include "runtime/Status.h"

#include <functional>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace engine {

class WorkCopy {
public:
    // Names of files the change leaves alone.
    using Untouched = std::function<bool(const std::string& name)>;

    // Copies the folder beside itself, but for the untouched files;
    // failures are explained.
    static runtime::HResult make(const std::string& folder, const Untouched& untouched,
                                 std::unique_ptr<WorkCopy>& copy);
    // Removes the copy unless it was swapped in.
    ~WorkCopy();
    WorkCopy(const WorkCopy&) = delete;
    WorkCopy& operator=(const WorkCopy&) = delete;

    const std::string& path() const noexcept { return path_; }

    // Links the untouched files into the copy, flushes it to disk and puts
    // it in the folder's place, unless
    // the folder's files are no longer `original` (another program wrote).
    runtime::HResult swapIn(const std::vector<std::string>& watched, const std::vector<FileStamp>& original);

    // Undoes a swap a crash interrupted and clears the copies it left; for
    // a file, clears the new files (workPathOf) a crash left beside it.
    static void recover(const std::string& folder);

private:
    WorkCopy(std::string folder, std::string path) : folder_(std::move(folder)), path_(std::move(path)) {}
    std::error_code linkUntouched();

    std::string folder_;
    std::string path_;
    std::vector<std::string> untouched_;
    bool swapped_ = false;
};

// Where this process writes the new copy of `path` (a folder or a file):
// beside it, hidden, under the same extension, so that GDAL knows the
// copy's format too.
std::string workPathOf(const std::string& path);

// Flushes a file or a folder to disk.
bool syncPath(const std::string& path);

} // namespace engine
