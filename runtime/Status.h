#pragma once

#include <cstdint>

namespace runtime {

// Status codes keep COM's values so that results read the same on both sides.
using HResult = std::int32_t;

constexpr HResult hresult(std::uint32_t bits) noexcept { return static_cast<HResult>(bits); }

constexpr HResult S_OK = 0;
constexpr HResult S_FALSE = 1;
constexpr HResult E_NOTIMPL = hresult(0x80004001);
constexpr HResult E_NOINTERFACE = hresult(0x80004002);
constexpr HResult E_POINTER = hresult(0x80004003);
constexpr HResult E_FAIL = hresult(0x80004005);
constexpr HResult E_UNEXPECTED = hresult(0x8000FFFF);
constexpr HResult E_ACCESSDENIED = hresult(0x80070005);
constexpr HResult E_OUTOFMEMORY = hresult(0x8007000E);
constexpr HResult E_INVALIDARG = hresult(0x80070057);
constexpr HResult CLASS_E_NOAGGREGATION = hresult(0x80040110);
constexpr HResult CLASS_E_CLASSNOTAVAILABLE = hresult(0x80040111);
constexpr HResult REGDB_E_CLASSNOTREG = hresult(0x80040154);
constexpr HResult REGDB_E_WRITEREGDB = hresult(0x80040151);
constexpr HResult CO_E_CLASSSTRING = hresult(0x800401F3);
constexpr HResult CO_E_DLLNOTFOUND = hresult(0x800401F8);
constexpr HResult CO_E_ERRORINDLL = hresult(0x800401F9);
constexpr HResult SELFREG_E_CLASS = hresult(0x80040201);

constexpr bool succeeded(HResult hr) noexcept { return hr >= 0; }
constexpr bool failed(HResult hr) noexcept { return hr < 0; }

} // namespace runtime
