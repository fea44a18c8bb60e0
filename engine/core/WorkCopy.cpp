#include "engine/core/WorkCopy.h"

#include "engine/core/Log.h"
#include "engine/core/Progress.h"
#include "engine/core/Reasons.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

namespace engine {

using runtime::HResult;

namespace fs = std::filesystem;

namespace {

constexpr char workMark[] = ".quillet-";
constexpr char oldMark[] = ".quillet-old-";

fs::path besideFolder(const fs::path& folder, const char* mark, long pid)
{
    return folder.parent_path() /
           ("." + folder.stem().string() + mark + std::to_string(pid) + folder.extension().string());
}

bool syncTree(const fs::path& folder)
{
    std::error_code ec;
    for (const auto& entry : fs::recursive_directory_iterator(folder, ec))
        if (!syncPath(entry.path())) return false;
    return !ec && syncPath(folder);
}

bool processGone(long pid) { return pid > 0 && kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH; }

// The process id a copy's name carries between `prefix` and `suffix`, or 0.
long pidBetween(const std::string& name, const std::string& prefix, const std::string& suffix)
{
    if (name.size() <= prefix.size() + suffix.size() || name.rfind(prefix, 0) != 0 ||
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
        return 0;
    const std::string digits = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    if (digits.find_first_not_of("0123456789") != std::string::npos) return 0;
    return std::strtol(digits.c_str(), nullptr, 10);
}

bool unwritten(std::vector<FileStamp> now, std::vector<FileStamp> before)
{
    for (FileStamp& stamp : now) stamp.changedNs = 0;
    for (FileStamp& stamp : before) stamp.changedNs = 0;
    return now == before;
}

} // namespace

std::string workPathOf(const std::string& path) { return besideFolder(path, workMark, getpid()).string(); }

bool syncPath(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

HResult WorkCopy::make(const std::string& folder, const Untouched& untouched, std::unique_ptr<WorkCopy>& copy)
{
    std::error_code ec;
    const fs::path source = fs::canonical(folder, ec);
    if (ec) {
        explain(reason::failed(folder, "be read", ec.message()));
        return runtime::E_FAIL;
    }
    const fs::path work = workPathOf(source);
    fs::remove_all(work, ec);
    std::unique_ptr<WorkCopy> made(new WorkCopy(source.string(), work.string()));
    fs::create_directory(work, ec);
    for (const auto& entry : fs::directory_iterator(source, ec)) {
        const std::string name = entry.path().filename().string();
        if (untouched && untouched(name) && entry.is_regular_file(ec))
            made->untouched_.push_back(name);
        else
            fs::copy(entry.path(), work / name, fs::copy_options::recursive, ec);
        if (ec) break;
    }
    if (ec) {
        explain(reason::failed(folder, "be copied beside itself", ec.message()));
        return runtime::E_FAIL;
    }
    copy = std::move(made);
    return runtime::S_OK;
}

WorkCopy::~WorkCopy()
{
    std::error_code ec;
    if (!swapped_) fs::remove_all(path_, ec);
}

// A link shares the old file's data, which is safe because nothing writes
// to the copy any more and the old folder is only ever removed.
std::error_code WorkCopy::linkUntouched()
{
    const fs::path folder(folder_), work(path_);
    std::error_code ec;
    for (const std::string& name : untouched_) {
        fs::create_hard_link(folder / name, work / name, ec);
        if (ec) fs::copy_file(folder / name, work / name, ec);
        if (ec) break;
    }
    return ec;
}

HResult WorkCopy::swapIn(const std::vector<std::string>& watched, const std::vector<FileStamp>& original)
{
    if (stampsOf(watched) != original) {
        explain(reason::changedByOthers(folder_));
        return runtime::E_FAIL;
    }
    if (const std::error_code ec = linkUntouched()) {
        explain(reason::failed(folder_, "be copied beside itself", ec.message()));
        return runtime::E_FAIL;
    }
    if (!syncTree(path_)) {
        explain(reason::failed(folder_, "write its new copy to disk", std::strerror(errno)));
        return runtime::E_FAIL;
    }
    // Once more, as near the swap as can be; linking has moved the files'
    // change times, so only what a write moves counts now.
    if (!unwritten(stampsOf(watched), original)) {
        explain(reason::changedByOthers(folder_));
        return runtime::E_FAIL;
    }
    const fs::path folder(folder_);
    std::error_code ec;
    // One step where the file system can: no reader ever finds the folder
    // missing, and the old data is then at the copy's name, which recovery
    // clears like any copy a crash left.
    reportProgress("swap", 0, 1);
    if (renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, folder.c_str(), RENAME_EXCHANGE) == 0) {
        swapped_ = true;
        syncPath(folder.parent_path());
        reportProgress("swap", 1, 1);
        fs::remove_all(path_, ec);
        return runtime::S_OK;
    }
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
        explain(reason::failed(folder_, "put its new copy in its place", std::strerror(errno)));
        return runtime::E_FAIL;
    }
    note(reason::noAtomicSwap(folder_));
    const fs::path old = besideFolder(folder, oldMark, getpid());
    std::error_code back;
    fs::rename(folder, old, ec);
    if (!ec) {
        fs::rename(path_, folder, ec);
        if (ec) fs::rename(old, folder, back);
    }
    if (ec) {
        explain(reason::failed(folder_, "put its new copy in its place", ec.message()));
        // recover() leaves a living process's folders alone: say where the data is.
        if (back) explain(reason::failed(folder_, "be put back from " + old.string(), back.message()));
        return runtime::E_FAIL;
    }
    swapped_ = true;
    syncPath(folder.parent_path());
    fs::remove_all(old, ec);
    return runtime::S_OK;
}

void WorkCopy::recover(const std::string& folderPath)
{
    std::error_code ec;
    const fs::path folder = fs::absolute(folderPath, ec).lexically_normal();
    const std::string base = "." + folder.stem().string();
    const std::string extension = folder.extension().string();
    std::vector<fs::path> beside;
    for (const auto& entry : fs::directory_iterator(folder.parent_path(), ec)) beside.push_back(entry.path());
    for (const fs::path& path : beside) {
        const std::string name = path.filename().string();
        if (processGone(pidBetween(name, base + oldMark, extension))) {
            // The crash came between the two renames: the old folder is whole.
            if (!fs::exists(folder)) {
                fs::rename(path, folder, ec);
                if (!ec) note(reason::crashUndone(folder.string()));
            } else {
                fs::remove_all(path, ec);
            }
        } else if (processGone(pidBetween(name, base + workMark, extension))) {
            if (fs::remove_all(path, ec) > 0 && !ec) note(reason::crashLeftoverRemoved(path.string()));
        }
    }
}

} // namespace engine
