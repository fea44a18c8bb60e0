#pragma once

// Handing results to COM out-parameters without letting an exception cross
// an interface.

#include "runtime/Status.h"

#include <new>
#include <utility>

namespace runtime {

// Runs `body`, turning an escaping exception into a failing status.
template <class Body>
HResult guarded(Body&& body) noexcept
{
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

// Stores a value (a fresh copy the caller owns) in an out-parameter.
template <class T, class V>
HResult give(T* out, V&& value) noexcept
{
    if (!out) return E_POINTER;
    return guarded([&] {
        *out = std::forward<V>(value);
        return S_OK;
    });
}

} // namespace runtime
