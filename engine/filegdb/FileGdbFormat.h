#pragma once

// FileGDB (GDAL's OpenFileGDB driver): each change is made to a copy that
// is read back row by row (RowCompare.h) before it takes the original's
// place.

namespace engine {

class FormatRegistry;

void registerFileGdbFormat(FormatRegistry& formats);

} // namespace engine
