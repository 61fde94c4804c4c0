// Owns one Windows handle (or any value with a close function) and closes it exactly once.
#pragma once

#include <utility>

namespace quorvane {

template <class T, auto Close, T Invalid = T{}>
class Unique {
public:
    Unique() = default;
    explicit Unique(T value) noexcept : value_(value) {}
    Unique(Unique&& other) noexcept : value_(std::exchange(other.value_, Invalid)) {}
    Unique& operator=(Unique&& other) noexcept
    {
        reset(std::exchange(other.value_, Invalid));
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    ~Unique() { reset(); }

    void reset(T value = Invalid) noexcept
    {
        if (value_ != Invalid) Close(value_);
        value_ = value;
    }
    T release() noexcept { return std::exchange(value_, Invalid); }
    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return value_ != Invalid; }

private:
    T value_ = Invalid;
};

} // namespace quorvane
