#pragma once

// The few facts of a .dbf's 32-byte file header that shapelib keeps to
// itself, read from the bytes: the one place where the engine parses the
// dBASE format by hand.

#include <cstdint>
#include <optional>
#include <string>

namespace engine::dbf {

struct HeaderFacts {
    std::uint8_t version = 0;
    // The language driver id (code page) byte.
    std::uint8_t languageDriver = 0;
    std::uint32_t records = 0;
    std::uint16_t headerLength = 0;
    std::uint16_t recordLength = 0;
    // Whether the records end with the end-of-file mark (0x1A).
    bool endMark = false;
};

// The facts of the header bytes; none when the bytes are no dBASE header.
std::optional<HeaderFacts> parseHeader(const unsigned char* bytes, std::size_t size);

// The facts of the file at `path`, its end mark included; none when it
// cannot be read or is no .dbf.
std::optional<HeaderFacts> readHeader(const std::string& path);

// The file's header (its field descriptions) as a table of no records;
// empty when the file cannot be read or is no .dbf.
std::string headerOnly(const std::string& path);

// Ends the open file after its header and `facts.records` records: the
// header's count, the end mark if `facts.endMark`, nothing beyond. False
// with lastIoError() (DbfIo.h) saying why.
bool endRecords(int fd, const HeaderFacts& facts);

} // namespace engine::dbf
