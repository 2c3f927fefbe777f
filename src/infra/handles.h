#pragma once
// Small owners for Windows handles: each closes its handle on every path.
#include <windows.h>

#include <utility>

namespace vk {

// Owns a value released by Traits::Close unless it equals one of Traits' empty values.
template <typename Traits>
class UniqueResource {
public:
    using Value = typename Traits::Value;

    UniqueResource() = default;
    explicit UniqueResource(Value value) : value_(value) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(std::exchange(other.value_, Traits::Empty())) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) reset(std::exchange(other.value_, Traits::Empty()));
        return *this;
    }
    ~UniqueResource() { reset(); }

    Value get() const { return value_; }
    bool valid() const { return Traits::IsValid(value_); }
    explicit operator bool() const { return valid(); }
    void reset(Value value = Traits::Empty()) {
        if (Traits::IsValid(value_)) Traits::Close(value_);
        value_ = value;
    }

private:
    Value value_ = Traits::Empty();
};

struct KernelHandleTraits {
    using Value = HANDLE;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Value h) { CloseHandle(h); }
};

struct FindHandleTraits {
    using Value = HANDLE;
    static Value Empty() { return INVALID_HANDLE_VALUE; }
    static bool IsValid(Value h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(Value h) { FindClose(h); }
};

// Files, processes, threads, events, mutexes.
using UniqueHandle = UniqueResource<KernelHandleTraits>;
// FindFirstFileW searches.
using UniqueFind = UniqueResource<FindHandleTraits>;

}  // namespace vk
