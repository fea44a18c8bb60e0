#pragma once

// Handing results to COM out-parameters.

#include "runtime/Status.h"

#include <string>

namespace runtime {

// A fresh string that the caller owns.
inline HResult giveString(std::u16string* out, const std::u16string& value) noexcept
{
    if (!out) return E_POINTER;
    try {
        *out = value;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

template <class T>
HResult giveValue(T* out, const T& value) noexcept
{
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}

} // namespace runtime
