#pragma once
// Replaces a process-wide seam (a hook or flag the product reads) for one scope and restores it on
// every way out of the scope, a failed assertion or an exception included.
#include <atomic>
#include <utility>

namespace vk::test {

template <typename T>
class ScopedOverride {
public:
    ScopedOverride(T& target, T replacement) : target_(target), saved_(std::exchange(target, std::move(replacement))) {}
    ScopedOverride(const ScopedOverride&) = delete;
    ScopedOverride& operator=(const ScopedOverride&) = delete;
    ~ScopedOverride() { target_ = std::move(saved_); }

private:
    T& target_;
    T saved_;
};

template <typename T>
class ScopedOverride<std::atomic<T>> {
public:
    ScopedOverride(std::atomic<T>& target, T replacement) : target_(target), saved_(target.exchange(replacement)) {}
    ScopedOverride(const ScopedOverride&) = delete;
    ScopedOverride& operator=(const ScopedOverride&) = delete;
    ~ScopedOverride() { target_ = saved_; }

private:
    std::atomic<T>& target_;
    T saved_;
};

template <typename T, typename U>
ScopedOverride(T&, U) -> ScopedOverride<T>;
template <typename T>
ScopedOverride(std::atomic<T>&, T) -> ScopedOverride<std::atomic<T>>;

}  // namespace vk::test
