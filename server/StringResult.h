#pragma once

#include "runtime/Status.h"

#include <string>

namespace quillet {

// Hands a fresh string to the caller, who owns it.
inline runtime::HResult giveString(std::u16string* out, const char16_t* value) noexcept
{
    if (!out) return runtime::E_POINTER;
    try {
        *out = value;
    } catch (...) {
        return runtime::E_OUTOFMEMORY;
    }
    return runtime::S_OK;
}

template <class T>
runtime::HResult give(T* out, T value) noexcept
{
    if (!out) return runtime::E_POINTER;
    *out = value;
    return runtime::S_OK;
}

} // namespace quillet
