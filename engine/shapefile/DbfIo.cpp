#include "engine/shapefile/DbfIo.h"

#include "engine/shapefile/ShapelibCompat.h"

#include <cpl_conv.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace engine::dbf {

namespace {

thread_local std::string ioError;

constexpr std::size_t windowSize = 1 << 20;

class File {
public:
    explicit File(int fd) : fd_(fd) { window_.reserve(windowSize); }

    std::size_t read(char* out, std::size_t bytes)
    {
        std::size_t done = 0;
        while (done < bytes) {
            if (!inWindow(position_) && !load(position_)) break;
            const std::size_t at = static_cast<std::size_t>(position_ - start_);
            const std::size_t n = std::min(bytes - done, window_.size() - at);
            if (n == 0) break; // the end of the file
            std::memcpy(out + done, window_.data() + at, n);
            done += n;
            position_ += static_cast<off_t>(n);
        }
        return done;
    }

    std::size_t write(const char* in, std::size_t bytes)
    {
        // A write that does not continue the window starts a new one there.
        if (position_ < start_ || position_ > start_ + static_cast<off_t>(window_.size()) ||
            position_ + static_cast<off_t>(bytes) > start_ + static_cast<off_t>(windowSize)) {
            if (!flush()) return 0;
            start_ = position_;
            window_.clear();
        }
        const std::size_t at = static_cast<std::size_t>(position_ - start_);
        if (at + bytes > window_.size()) window_.resize(at + bytes);
        std::memcpy(window_.data() + at, in, bytes);
        dirty_ = true;
        position_ += static_cast<off_t>(bytes);
        return bytes;
    }

    void seek(off_t position) { position_ = position; }
    off_t tell() const { return position_; }

    bool flush()
    {
        if (!dirty_) return true;
        std::size_t done = 0;
        while (done < window_.size()) {
            const ssize_t n = pwrite(fd_, window_.data() + done, window_.size() - done, start_ + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return fail("writing");
            done += static_cast<std::size_t>(n);
        }
        // The disk starts on it now, so that the final flush waits less.
        sync_file_range(fd_, start_, static_cast<off_t>(window_.size()), SYNC_FILE_RANGE_WRITE);
        dirty_ = false;
        return true;
    }

    bool close()
    {
        bool ok = flush();
        if (::close(fd_) != 0 && ok) ok = fail("closing");
        return ok;
    }

private:
    bool inWindow(off_t position) const
    {
        return position >= start_ && position < start_ + static_cast<off_t>(window_.size());
    }

    bool load(off_t position)
    {
        if (!flush()) return false;
        window_.resize(windowSize);
        std::size_t done = 0;
        while (done < windowSize) {
            const ssize_t n = pread(fd_, window_.data() + done, windowSize - done, position + static_cast<off_t>(done));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) {
                window_.clear();
                return fail("reading");
            }
            if (n == 0) break;
            done += static_cast<std::size_t>(n);
        }
        window_.resize(done);
        start_ = position;
        return true;
    }

    bool fail(const char* what)
    {
        ioError = std::string(what) + ": " + std::strerror(errno);
        return false;
    }

    int fd_;
    std::vector<char> window_;
    off_t start_ = 0;
    off_t position_ = 0;
    bool dirty_ = false;
};

File* fileOf(SAFile f) { return reinterpret_cast<File*>(f); }

SAFile open(const char* path, const char* access)
{
    const std::string mode = access;
    int flags = mode.find('+') != std::string::npos ? O_RDWR : O_RDONLY;
    if (mode[0] == 'w') flags = (flags == O_RDWR ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
    const int fd = ::open(path, flags | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    return reinterpret_cast<SAFile>(new File(fd));
}

SAOffset read(void* p, SAOffset size, SAOffset count, SAFile f)
{
    return size == 0 ? 0 : fileOf(f)->read(static_cast<char*>(p), size * count) / size;
}

SAOffset write(const void* p, SAOffset size, SAOffset count, SAFile f)
{
    return size == 0 ? 0 : fileOf(f)->write(static_cast<const char*>(p), size * count) / size;
}

SAOffset seek(SAFile f, SAOffset offset, int whence)
{
    if (whence == SEEK_CUR) offset += static_cast<SAOffset>(fileOf(f)->tell());
    else if (whence != SEEK_SET) return static_cast<SAOffset>(-1); // shapelib seeks only so
    fileOf(f)->seek(static_cast<off_t>(offset));
    return 0;
}

SAOffset tell(SAFile f) { return static_cast<SAOffset>(fileOf(f)->tell()); }

int flush(SAFile f) { return fileOf(f)->flush() ? 0 : -1; }

int close(SAFile f)
{
    File* file = fileOf(f);
    const bool ok = file->close();
    delete file;
    return ok ? 0 : -1;
}

int remove(const char* path) { return ::unlink(path); }

void error(const char* message) { ioError = message; }

double atof(const char* text) { return CPLAtof(text); }

} // namespace

SAHooks bufferedHooks()
{
    SAHooks hooks{};
    shapelib::setFileHooks<open, write, remove>(hooks);
    hooks.FRead = read;
    hooks.FSeek = seek;
    hooks.FTell = tell;
    hooks.FFlush = flush;
    hooks.FClose = close;
    hooks.Error = error;
    hooks.Atof = atof;
    return hooks;
}

std::string lastIoError() { return ioError; }

void clearIoError() { ioError.clear(); }

} // namespace engine::dbf
