#pragma once

#include "runtime/Unknown.h"

#include <cstddef>
#include <utility>

namespace runtime {

// The one smart pointer for interfaces: owns one reference.
template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a reference of its own; the caller keeps theirs.
    explicit ComPtr(T* p) noexcept : p_(p) { addRef(); }
    ComPtr(const ComPtr& other) noexcept : p_(other.p_) { addRef(); }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComPtr() { reset(); }

    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(p_, other.p_);
        return *this;
    }

    // Adopts a reference that the caller already owns.
    static ComPtr adopt(T* p) noexcept
    {
        ComPtr r;
        r.p_ = p;
        return r;
    }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    // Out-parameter slot: releases what is held first.
    T** put() noexcept
    {
        reset();
        return &p_;
    }
    void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

    void reset() noexcept
    {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    [[nodiscard]] T* detach() noexcept { return std::exchange(p_, nullptr); }

    // Hands a new reference to a COM out-parameter.
    HResult copyTo(T** out) const noexcept
    {
        if (!out) return E_POINTER;
        *out = p_;
        addRef();
        return S_OK;
    }

    // The same object as another interface; `out` is left as it was on failure.
    template <class U>
    HResult queryInterface(ComPtr<U>& out) const noexcept
    {
        if (!p_) return E_POINTER;
        U* q = nullptr;
        const HResult hr = p_->QueryInterface(U::iid, reinterpret_cast<void**>(&q));
        if (succeeded(hr)) out = ComPtr<U>::adopt(q);
        return hr;
    }
    // The same object as another interface, or null when it does not answer it.
    template <class U>
    ComPtr<U> asOrNull() const noexcept
    {
        ComPtr<U> r;
        queryInterface(r);
        return r;
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) noexcept { return a.p_ == b.p_; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) noexcept { return a.p_ == nullptr; }

private:
    void addRef() const noexcept
    {
        if (p_) p_->AddRef();
    }
    T* p_ = nullptr;
};

} // namespace runtime
