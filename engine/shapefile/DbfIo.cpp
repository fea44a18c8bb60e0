#include "engine/shapefile/DbfIo.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace engine::dbf {

namespace {

thread_local std::string ioError;

void keepError(const char* message) { ioError = message; }

bool fail(const char* what)
{
    ioError = std::string(what) + ": " + std::strerror(errno);
    return false;
}

} // namespace

SAHooks reportingHooks()
{
    SAHooks hooks{};
    SASetupDefaultHooks(&hooks);
    hooks.Error = keepError;
    return hooks;
}

std::string lastIoError() { return ioError; }

void clearIoError() { ioError.clear(); }

Descriptor::Descriptor(const std::string& path, int flags) : fd_(::open(path.c_str(), flags | O_CLOEXEC, 0644)) {}

Descriptor::~Descriptor()
{
    if (fd_ >= 0) ::close(fd_);
}

bool Descriptor::close()
{
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
}

bool readAt(int fd, char* out, std::size_t bytes, off_t offset)
{
    std::size_t done = 0;
    while (done < bytes) {
        const ssize_t n = pread(fd, out + done, bytes - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail("reading");
        if (n == 0) {
            ioError = "reading: the file ends early";
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool writeAt(int fd, const char* in, std::size_t bytes, off_t offset)
{
    std::size_t done = 0;
    while (done < bytes) {
        const ssize_t n = pwrite(fd, in + done, bytes - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return fail("writing");
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool truncateAt(int fd, off_t size) { return ftruncate(fd, size) == 0 || fail("truncating"); }

} // namespace engine::dbf
