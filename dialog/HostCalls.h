#pragma once

// The dialog's way of calling the host statement by statement: a call on a
// missing object fails like any other, and a failed call leaves the
// caller's variable as it was.

#include "runtime/ComPtr.h"

#include <QString>

#include <string>
#include <type_traits>

namespace quillet {

using runtime::ComPtr;
using runtime::HResult;

// Reads a value; `value` keeps its old content on failure.
template <class T, class V>
HResult read(const ComPtr<T>& object, HResult (T::*getter)(V*) noexcept, V& value) noexcept
{
    if (!object) return runtime::E_POINTER;
    V fresh{};
    const HResult hr = ((*object).*getter)(&fresh);
    if (runtime::succeeded(hr)) value = std::move(fresh);
    return hr;
}

template <class T, class A, class V>
HResult read(const ComPtr<T>& object, HResult (T::*getter)(A, V*) noexcept, std::type_identity_t<A> arg,
             V& value) noexcept
{
    if (!object) return runtime::E_POINTER;
    V fresh{};
    const HResult hr = ((*object).*getter)(arg, &fresh);
    if (runtime::succeeded(hr)) value = std::move(fresh);
    return hr;
}

// An object the host hands out; null when the call fails.
template <class T, class R>
ComPtr<R> fetch(const ComPtr<T>& object, HResult (T::*getter)(R**) noexcept) noexcept
{
    ComPtr<R> result;
    if (object && runtime::failed(((*object).*getter)(result.put()))) result.reset();
    return result;
}

template <class T, class A, class R>
ComPtr<R> fetch(const ComPtr<T>& object, HResult (T::*getter)(A, R**) noexcept, std::type_identity_t<A> arg) noexcept
{
    ComPtr<R> result;
    if (object && runtime::failed(((*object).*getter)(arg, result.put()))) result.reset();
    return result;
}

inline QString toQString(const std::u16string& s) { return QString::fromStdU16String(s); }
inline std::u16string toU16(const QString& s) { return s.toStdU16String(); }

// Leading and trailing blanks (spaces) removed; other white space stays.
inline QString trimBlanks(const QString& s)
{
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s.at(first) == QLatin1Char(' ')) ++first;
    while (last > first && s.at(last - 1) == QLatin1Char(' ')) --last;
    return s.mid(first, last - first);
}

} // namespace quillet
