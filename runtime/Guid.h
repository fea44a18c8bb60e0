#pragma once

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace runtime {

// A 128-bit identifier in the registry form {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};

    static constexpr std::optional<Guid> parse(std::string_view text) noexcept;
    std::string toString() const;

    friend constexpr auto operator<=>(const Guid&, const Guid&) = default;
};

namespace detail {
constexpr int hexValue(char c) noexcept
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads `digits` hex digits at `pos`; false on anything else.
constexpr bool readHex(std::string_view text, std::size_t pos, std::size_t digits, std::uint64_t& out) noexcept
{
    out = 0;
    for (std::size_t i = 0; i < digits; ++i) {
        const int v = hexValue(text[pos + i]);
        if (v < 0) return false;
        out = out * 16 + static_cast<std::uint64_t>(v);
    }
    return true;
}
} // namespace detail

constexpr std::optional<Guid> Guid::parse(std::string_view text) noexcept
{
    if (text.size() == 38 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return std::nullopt;
    Guid g;
    std::uint64_t v = 0;
    if (!detail::readHex(text, 0, 8, v)) return std::nullopt;
    g.data1 = static_cast<std::uint32_t>(v);
    if (!detail::readHex(text, 9, 4, v)) return std::nullopt;
    g.data2 = static_cast<std::uint16_t>(v);
    if (!detail::readHex(text, 14, 4, v)) return std::nullopt;
    g.data3 = static_cast<std::uint16_t>(v);
    constexpr std::size_t bytePos[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (std::size_t i = 0; i < 8; ++i) {
        if (!detail::readHex(text, bytePos[i], 2, v)) return std::nullopt;
        g.data4[i] = static_cast<std::uint8_t>(v);
    }
    return g;
}

// A Guid written in source; a malformed literal does not compile.
consteval Guid guid(std::string_view text)
{
    const auto g = Guid::parse(text);
    if (!g) throw "malformed Guid literal";
    return *g;
}

} // namespace runtime
