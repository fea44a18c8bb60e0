#pragma once

// The .dbf's file access. shapelib reads and writes the header (the field
// descriptions); the records, fixed-width, are moved in large blocks by
// hand: shapelib's call and seek per record cost several times a copy of
// the file.

#include <shapefil.h>

#include <sys/types.h>

#include <cstddef>
#include <string>

namespace engine::dbf {

// shapelib's own file access, with its errors kept for lastIoError().
SAHooks reportingHooks();

// The last error met on this thread, by shapelib or by the calls below;
// empty when none since clearIoError().
std::string lastIoError();
void clearIoError();

// A file opened with open(2) `flags`, closed when it goes.
class Descriptor {
public:
    Descriptor(const std::string& path, int flags);
    ~Descriptor();
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd() const noexcept { return fd_; }
    explicit operator bool() const noexcept { return fd_ >= 0; }
    // Closes it now: false when the system reports an error.
    bool close();

private:
    int fd_;
};

// Exactly `bytes` at `offset`, or false (lastIoError() says why).
bool readAt(int fd, char* out, std::size_t bytes, off_t offset);
bool writeAt(int fd, const char* in, std::size_t bytes, off_t offset);
bool truncateAt(int fd, off_t size);

} // namespace engine::dbf
