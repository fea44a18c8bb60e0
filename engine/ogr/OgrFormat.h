#pragma once

// Any data no other format registered for: GDAL writes it through its layer
// API, and every copied value is read back (core/OgrEdits.h).

namespace engine {

class Format;

const Format& ogrFormat();

} // namespace engine
