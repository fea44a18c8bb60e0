#pragma once

// Strings cross interfaces as UTF-16; GDAL speaks UTF-8.

#include <QString>

#include <string>

namespace gdalhost {

inline std::u16string toU16(const char* utf8) { return QString::fromUtf8(utf8 ? utf8 : "").toStdU16String(); }
inline std::u16string toU16(const std::string& utf8) { return toU16(utf8.c_str()); }
inline std::string toUtf8(const std::u16string& text) { return QString::fromStdU16String(text).toStdString(); }

} // namespace gdalhost
