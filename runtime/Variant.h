#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace runtime {

// A value of one of the few kinds that cross interfaces untyped (field
// default values, identifier values).
struct Variant {
    struct Empty {
        friend bool operator==(Empty, Empty) = default;
    };
    // The database null, as distinct from "no value given".
    struct Null {
        friend bool operator==(Null, Null) = default;
    };
    using Value = std::variant<Empty, Null, bool, std::int32_t, std::int64_t, double, std::u16string>;

    Value value;

    Variant() = default;
    template <class T>
        requires std::is_constructible_v<Value, T&&>
    Variant(T&& v) : value(std::forward<T>(v))
    {
    }
    Variant(const char16_t* s) : value(std::u16string(s)) {}

    bool isEmpty() const noexcept { return std::holds_alternative<Empty>(value); }
    bool isNull() const noexcept { return std::holds_alternative<Null>(value); }
    template <class T>
    const T* get() const noexcept
    {
        return std::get_if<T>(&value);
    }

    friend bool operator==(const Variant&, const Variant&) = default;
};

} // namespace runtime
