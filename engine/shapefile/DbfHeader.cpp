#include "engine/shapefile/DbfHeader.h"

#include "engine/shapefile/DbfIo.h"

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

off_t recordsEnd(const HeaderFacts& facts) { return facts.headerLength + off_t{facts.records} * facts.recordLength; }

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
    const Descriptor file(path, O_RDONLY);
    unsigned char bytes[headerSize];
    struct stat info {};
    if (file.fd() < 0 || fstat(file.fd(), &info) != 0 ||
        pread(file.fd(), bytes, headerSize, 0) != static_cast<ssize_t>(headerSize))
        return std::nullopt;
    auto facts = parseHeader(bytes, headerSize);
    if (!facts) return facts;
    const off_t end = recordsEnd(*facts);
    unsigned char last = 0;
    facts->endMark = info.st_size == end + 1 && pread(file.fd(), &last, 1, end) == 1 && last == endOfFile;
    return facts;
}

std::string headerOnly(const std::string& path)
{
    const Descriptor file(path, O_RDONLY);
    unsigned char first[headerSize];
    if (file.fd() < 0 || pread(file.fd(), first, headerSize, 0) != static_cast<ssize_t>(headerSize)) return {};
    const auto facts = parseHeader(first, headerSize);
    if (!facts) return {};
    std::string header(facts->headerLength, '\0');
    if (pread(file.fd(), header.data(), header.size(), 0) != static_cast<ssize_t>(header.size())) return {};
    for (std::size_t i = 4; i < 8; ++i) header[i] = 0; // no records
    return header;
}

bool endRecords(int fd, const HeaderFacts& facts)
{
    char count[4];
    std::uint32_t records = facts.records;
    for (char& byte : count) {
        byte = static_cast<char>(records & 0xFF);
        records >>= 8;
    }
    const off_t end = recordsEnd(facts);
    const char mark = static_cast<char>(endOfFile);
    if (!writeAt(fd, count, sizeof count, 4) || (facts.endMark && !writeAt(fd, &mark, 1, end))) return false;
    return truncateAt(fd, end + (facts.endMark ? 1 : 0));
}

} // namespace engine::dbf
