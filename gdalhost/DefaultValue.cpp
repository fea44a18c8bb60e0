#include "gdalhost/DefaultValue.h"

#include "engine/core/FieldTypes.h"
#include "engine/core/OgrStatus.h"
#include "gdalhost/Text.h"

#include <cpl_string.h>

#include <charconv>
#include <cstring>

namespace gdalhost {

using engine::isNumeric;
using runtime::Variant;

namespace {

bool isQuoted(const std::string& text) { return text.size() >= 2 && text.front() == '\'' && text.back() == '\''; }

std::string unquote(const std::string& text)
{
    std::string out;
    for (std::size_t i = 1; i + 1 < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\'' && text[i + 1] == '\'') ++i;
    }
    return out;
}

bool isTemporal(OGRFieldType type) { return type == OFTDate || type == OFTTime || type == OFTDateTime; }

bool isTemporalKeyword(const std::string& text)
{
    for (const char* k : {"CURRENT_TIMESTAMP", "CURRENT_DATE", "CURRENT_TIME"})
        if (EQUAL(text.c_str(), k)) return true;
    return false;
}

template <class N>
bool parsesAs(const std::string& text, N& value)
{
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

Variant numberFromText(const std::string& text, OGRFieldType type)
{
    if (type == OFTInteger || type == OFTInteger64) {
        std::int64_t n = 0;
        if (parsesAs(text, n)) {
            if (n >= INT32_MIN && n <= INT32_MAX) return static_cast<std::int32_t>(n);
            return n;
        }
    } else if (type == OFTReal) {
        double d = 0;
        if (parsesAs(text, d)) return d;
    }
    return toU16(text);
}

// The shortest text that reads back as the same double: 0.1, not 0.10000000000000001.
std::string formatDouble(double d)
{
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
    return std::string(buffer, ec == std::errc() ? end : buffer);
}

} // namespace

Variant variantFromDefault(const char* ogrDefault, OGRFieldType type)
{
    if (!ogrDefault) return {};
    const std::string text = ogrDefault;
    if (EQUAL(text.c_str(), "NULL")) return Variant::Null{};
    if (isQuoted(text)) return toU16(unquote(text));
    return numberFromText(text, type);
}

runtime::HResult defaultFromVariant(const Variant& value, OGRFieldType type, std::optional<std::string>& ogrDefault)
{
    ogrDefault.reset();
    if (value.isEmpty()) return runtime::S_OK;
    if (value.isNull()) {
        ogrDefault = "NULL";
        return runtime::S_OK;
    }
    if (const auto* text = value.get<std::u16string>()) {
        const std::string utf8 = toUtf8(*text);
        if (isTemporal(type) && isTemporalKeyword(utf8)) {
            ogrDefault = utf8;
        } else if (type == OFTString || isTemporal(type)) {
            ogrDefault = engine::quoteLiteral(utf8);
        } else {
            // Written into the table's definition as it stands: a number only.
            double d = 0;
            if (!isNumeric(type) || !parsesAs(utf8, d)) return runtime::E_INVALIDARG;
            ogrDefault = utf8;
        }
        return runtime::S_OK;
    }
    if (!isNumeric(type)) return runtime::E_INVALIDARG;
    if (const auto* b = value.get<bool>()) ogrDefault = *b ? "1" : "0";
    if (const auto* n = value.get<std::int32_t>()) ogrDefault = std::to_string(*n);
    if (const auto* n = value.get<std::int64_t>()) ogrDefault = std::to_string(*n);
    if (const auto* d = value.get<double>()) ogrDefault = formatDouble(*d);
    return runtime::S_OK;
}

} // namespace gdalhost
