#pragma once

// shapelib's file access for the .dbf writer: shapelib seeks before every
// record it reads or writes, which the C library turns into a system call
// per record; these hooks keep one large window of the file in memory and
// seek only within it. What they write is handed to the disk as they go;
// the writer still flushes the file (fsync) before relying on it.

#include <shapefil.h>

#include <string>

namespace engine::dbf {

SAHooks bufferedHooks();

// The last error met through the hooks on this thread, or reported by
// shapelib; empty when none since clearIoError().
std::string lastIoError();
void clearIoError();

} // namespace engine::dbf
