#pragma once

// What every host's objects share: their life counter, their base and the
// guard that keeps exceptions from crossing an interface.

#include "runtime/Object.h"
#include "runtime/OutParams.h"

namespace hostkit {

using runtime::ComPtr;
using runtime::Guid;
using runtime::HResult;
using runtime::S_OK;

// Live host objects, so that a test can tell nothing was leaked.
extern runtime::ModuleLife modelLife;

template <class... Interfaces>
using HostObject = runtime::Object<modelLife, Interfaces...>;

using runtime::give;
using runtime::guarded;

// Hands out an object as interface I; null stays null.
template <class I, class T>
HResult giveObject(I** out, const ComPtr<T>& object) noexcept
{
    return ComPtr<I>(object.get()).copyTo(out);
}

} // namespace hostkit
