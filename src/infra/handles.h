#pragma once
// Small owners for Windows handles: each closes its handle on every path.
#include <windows.h>
#include <bcrypt.h>
#include <objbase.h>
#include <winhttp.h>

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
    // Gives up ownership, for a value that another owner takes over.
    [[nodiscard]] Value release() { return std::exchange(value_, Traits::Empty()); }
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

struct InternetHandleTraits {
    using Value = HINTERNET;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { WinHttpCloseHandle(h); }
};

struct AlgorithmProviderTraits {
    using Value = BCRYPT_ALG_HANDLE;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { BCryptCloseAlgorithmProvider(h, 0); }
};

struct HashObjectTraits {
    using Value = BCRYPT_HASH_HANDLE;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { BCryptDestroyHash(h); }
};

struct CryptoKeyTraits {
    using Value = BCRYPT_KEY_HANDLE;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { BCryptDestroyKey(h); }
};

struct LibraryTraits {
    using Value = HMODULE;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { FreeLibrary(h); }
};

struct IconTraits {
    using Value = HICON;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value h) { return h != nullptr; }
    static void Close(Value h) { DestroyIcon(h); }
};

struct LocalMemoryTraits {
    using Value = void*;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value p) { return p != nullptr; }
    static void Close(Value p) { LocalFree(p); }
};

struct RegistryKeyTraits {
    using Value = HKEY;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value k) { return k != nullptr; }
    static void Close(Value k) { RegCloseKey(k); }
};

struct CoTaskMemoryTraits {
    using Value = void*;
    static Value Empty() { return nullptr; }
    static bool IsValid(Value p) { return p != nullptr; }
    static void Close(Value p) { CoTaskMemFree(p); }
};

// Files, processes, threads, events, mutexes.
using UniqueHandle = UniqueResource<KernelHandleTraits>;
// FindFirstFileW searches.
using UniqueFind = UniqueResource<FindHandleTraits>;
// WinHTTP session, connection and request handles.
using UniqueInternet = UniqueResource<InternetHandleTraits>;
// CNG algorithm providers, hash objects and keys.
using UniqueAlgorithmProvider = UniqueResource<AlgorithmProviderTraits>;
using UniqueHashObject = UniqueResource<HashObjectTraits>;
using UniqueCryptoKey = UniqueResource<CryptoKeyTraits>;
// Libraries loaded with LoadLibraryW or LoadLibraryExW; icons from LoadImageW.
using UniqueLibrary = UniqueResource<LibraryTraits>;
using UniqueIcon = UniqueResource<IconTraits>;
// Buffers that a system call allocated with LocalAlloc on the caller's behalf.
using UniqueLocalMemory = UniqueResource<LocalMemoryTraits>;
// Registry keys opened or created with RegOpenKeyExW / RegCreateKeyExW.
using UniqueRegistryKey = UniqueResource<RegistryKeyTraits>;
// Buffers that a shell or COM call allocated with CoTaskMemAlloc.
using UniqueCoTaskMemory = UniqueResource<CoTaskMemoryTraits>;

// The calling thread's COM apartment, from construction to destruction. The initialisation's
// result is not examined: a thread already in an apartment keeps it and still balances the count.
class ComApartment {
public:
    explicit ComApartment(DWORD model) { CoInitializeEx(nullptr, model); }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() { CoUninitialize(); }
};

// Holds one reference to a COM object and releases it on every path.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr& other) : object_(other.object_) {
        if (object_ != nullptr) object_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(object_, other.object_);
        return *this;
    }
    ~ComPtr() { reset(); }

    // A new reference to an object someone else holds.
    static ComPtr Share(T* object) {
        ComPtr result;
        result.object_ = object;
        if (object != nullptr) object->AddRef();
        return result;
    }

    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    void reset() {
        if (object_ != nullptr) std::exchange(object_, nullptr)->Release();
    }
    // For creation functions that hand out a new reference: releases the current one first.
    T** put() {
        reset();
        return &object_;
    }
    // The same, typed for functions that take void** with an interface id.
    void** put_void() { return reinterpret_cast<void**>(put()); }

private:
    T* object_ = nullptr;
};

}  // namespace vk
