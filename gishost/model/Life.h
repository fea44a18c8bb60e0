#pragma once

// What every host object of gishost shares: its life counter, its base and
// the guard that keeps exceptions from crossing an interface.

#include "runtime/Object.h"

#include <new>
#include <string>

namespace gishost {

using runtime::ComPtr;
using runtime::Guid;
using runtime::HResult;
using runtime::S_OK;

// Live host objects, so that a test can tell nothing was leaked.
extern runtime::ModuleLife modelLife;

template <class... Interfaces>
using HostObject = runtime::Object<modelLife, Interfaces...>;

// Runs `body`, turning an escaping exception into a failing status.
template <class Body>
HResult guarded(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return runtime::E_OUTOFMEMORY;
    } catch (...) {
        return runtime::E_FAIL;
    }
}

template <class T, class V>
HResult give(T* out, V&& value) noexcept
{
    if (!out) return runtime::E_POINTER;
    return guarded([&] {
        *out = std::forward<V>(value);
        return S_OK;
    });
}

// Hands out an object as interface I; null stays null.
template <class I, class T>
HResult giveObject(I** out, const ComPtr<T>& object) noexcept
{
    return ComPtr<I>(object.get()).copyTo(out);
}

} // namespace gishost
