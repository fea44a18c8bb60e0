#pragma once

#include "runtime/ComPtr.h"

#include <atomic>
#include <concepts>
#include <cstddef>
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

// What an interface is: an abstract class on IUnknown that adds slots but no
// data, with an identifier of its own.
template <class I>
concept Interface = std::derived_from<I, IUnknown> && std::is_abstract_v<I> && sizeof(I) == sizeof(void*) &&
                    requires {
                        { I::iid } -> std::convertible_to<Guid>;
                    } && (I::iid != IUnknown::iid);

template <Interface... Is>
constexpr bool distinctIdentifiers() noexcept
{
    const Guid ids[] = {Is::iid...};
    for (std::size_t i = 0; i < sizeof...(Is); ++i)
        for (std::size_t j = i + 1; j < sizeof...(Is); ++j)
            if (ids[i] == ids[j]) return false;
    return true;
}

// Reference-counting base for a class implementing the listed interfaces.
template <ModuleLife& Life, Interface First, Interface... Rest>
class Object : public First, public Rest... {
    static_assert(distinctIdentifiers<First, Rest...>(), "each interface is listed once, with its own identifier");

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
