#include "engine/shapefile/DbfHeader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace engine::dbf {

namespace {

constexpr std::size_t headerSize = 32;
constexpr unsigned char endOfFile = 0x1A;

std::uint32_t littleEndian(const unsigned char* bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

class Descriptor {
public:
    explicit Descriptor(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
    ~Descriptor()
    {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

} // namespace

std::optional<HeaderFacts> parseHeader(const unsigned char* bytes, std::size_t size)
{
    if (size < headerSize) return std::nullopt;
    HeaderFacts facts;
    facts.version = bytes[0];
    facts.records = littleEndian(bytes + 4, 4);
    facts.headerLength = static_cast<std::uint16_t>(littleEndian(bytes + 8, 2));
    facts.recordLength = static_cast<std::uint16_t>(littleEndian(bytes + 10, 2));
    facts.languageDriver = bytes[29];
    // A header holds at least its own 32 bytes and the terminator; a record
    // at least its deletion flag.
    if (facts.headerLength < headerSize + 1 || facts.recordLength < 1) return std::nullopt;
    return facts;
}

std::optional<HeaderFacts> readHeader(const std::string& path)
{
    const Descriptor file(path);
    unsigned char bytes[headerSize];
    struct stat info {};
    if (file.fd() < 0 || fstat(file.fd(), &info) != 0 ||
        pread(file.fd(), bytes, headerSize, 0) != static_cast<ssize_t>(headerSize))
        return std::nullopt;
    auto facts = parseHeader(bytes, headerSize);
    if (!facts) return facts;
    const off_t recordsEnd = facts->headerLength + off_t{facts->records} * facts->recordLength;
    unsigned char last = 0;
    facts->endMark = info.st_size == recordsEnd + 1 && pread(file.fd(), &last, 1, recordsEnd) == 1 && last == endOfFile;
    return facts;
}

std::string headerOnly(const std::string& path)
{
    const Descriptor file(path);
    unsigned char first[headerSize];
    if (file.fd() < 0 || pread(file.fd(), first, headerSize, 0) != static_cast<ssize_t>(headerSize)) return {};
    const auto facts = parseHeader(first, headerSize);
    if (!facts) return {};
    std::string header(facts->headerLength, '\0');
    if (pread(file.fd(), header.data(), header.size(), 0) != static_cast<ssize_t>(header.size())) return {};
    for (std::size_t i = 4; i < 8; ++i) header[i] = 0; // no records
    return header;
}

} // namespace engine::dbf
