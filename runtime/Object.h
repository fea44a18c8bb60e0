#pragma once

#include "runtime/ComPtr.h"

#include <atomic>
#include <new>
#include <type_traits>
#include <utility>

namespace runtime {

// Counts the live objects and server locks of one module (or one object
// model), so that it can tell when nothing of it is in use.
struct ModuleLife {
    std::atomic<long> objects{0};
    std::atomic<long> locks{0};
    bool canUnload() const noexcept { return objects == 0 && locks == 0; }
};

// Reference-counting base for a class implementing `Interfaces`, each of
// which derives directly from IUnknown and declares its `iid`.
template <ModuleLife& Life, class First, class... Rest>
class Object : public First, public Rest... {
public:
    Object() noexcept { ++Life.objects; }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    virtual ~Object() { --Life.objects; }

    HResult QueryInterface(const Guid& iid, void** object) noexcept override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid == IUnknown::iid)
            *object = static_cast<IUnknown*>(static_cast<First*>(this));
        else
            find<First, Rest...>(iid, object);
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    std::uint32_t AddRef() noexcept override { return ++refs_; }
    std::uint32_t Release() noexcept override
    {
        const std::uint32_t left = --refs_;
        if (left == 0) delete this;
        return left;
    }

private:
    template <class I, class... More>
    void find(const Guid& iid, void** object) noexcept
    {
        if (iid == I::iid) {
            *object = static_cast<I*>(this);
            return;
        }
        if constexpr (sizeof...(More) > 0) find<More...>(iid, object);
    }

    std::atomic<std::uint32_t> refs_{0};
};

// Creates an object and holds its first reference.
template <class T, class... Args>
ComPtr<T> make(Args&&... args)
{
    return ComPtr<T>(new T(std::forward<Args>(args)...));
}

// Class factories do not keep their module alive: only objects and locks do.
inline ModuleLife uncounted;

// A class factory for T, whose constructor takes no arguments.
template <class T, ModuleLife& Life>
class ClassFactory final : public Object<uncounted, IClassFactory> {
public:
    HResult CreateInstance(IUnknown* outer, const Guid& iid, void** object) noexcept override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        T* created = new (std::nothrow) T();
        if (!created) return E_OUTOFMEMORY;
        ComPtr<T> hold(created);
        return hold->QueryInterface(iid, object);
    }
    HResult LockServer(bool lock) noexcept override
    {
        lock ? ++Life.locks : --Life.locks;
        return S_OK;
    }
};

} // namespace runtime
