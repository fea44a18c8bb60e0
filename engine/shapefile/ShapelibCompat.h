#pragma once

// shapelib 1.6 (Debian 13) hands the open and remove hooks a user pointer
// and the write hook a const buffer; 1.5 (Debian 12) has neither, nor a
// version macro. The hooks are written once, to 1.6's meaning, and fitted
// to the table of the shapelib in use here.

#include <shapefil.h>

#ifdef SHAPELIB_AT_LEAST
#if SHAPELIB_AT_LEAST(1, 6, 0)
#define ENGINE_SHAPELIB_HOOKS_TAKE_USER_DATA
#endif
#endif

namespace engine::shapelib {

using OpenHook = SAFile (*)(const char* path, const char* access);
using WriteHook = SAOffset (*)(const void* buffer, SAOffset size, SAOffset count, SAFile file);
using RemoveHook = int (*)(const char* path);

template <OpenHook open, WriteHook write, RemoveHook remove>
void setFileHooks(SAHooks& hooks)
{
#ifdef ENGINE_SHAPELIB_HOOKS_TAKE_USER_DATA
    hooks.FOpen = [](const char* path, const char* access, void*) { return open(path, access); };
    hooks.FWrite = write;
    hooks.Remove = [](const char* path, void*) { return remove(path); };
#else
    hooks.FOpen = open;
    hooks.FWrite = [](void* buffer, SAOffset size, SAOffset count, SAFile file) { return write(buffer, size, count, file); };
    hooks.Remove = remove;
#endif
}

} // namespace engine::shapelib
