// COM ownership: a minimal ComPtr, the OLE session of a thread, and a guard for a fetched storage medium.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <utility>

namespace quorvane {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes over a reference that the caller already holds.
    static ComPtr attach(T* raw) noexcept
    {
        ComPtr p;
        p.ptr_ = raw;
        return p;
    }
    ComPtr(const ComPtr& other) noexcept : ptr_(other.ptr_)
    {
        if (ptr_) ptr_->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(ptr_, other.ptr_);
        return *this;
    }
    ~ComPtr() { reset(); }

    void reset() noexcept
    {
        if (T* old = std::exchange(ptr_, nullptr)) old->Release();
    }
    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }
    // For out-parameters: releases what is held and hands out the slot.
    T** put() noexcept
    {
        reset();
        return &ptr_;
    }
    void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

    template <class U>
    ComPtr<U> as(REFIID iid) const noexcept
    {
        ComPtr<U> other;
        if (ptr_) ptr_->QueryInterface(iid, other.putVoid());
        return other;
    }

private:
    T* ptr_ = nullptr;
};

// OleInitialize for the calling thread, undone when the session ends if it succeeded.
class OleSession {
public:
    OleSession() noexcept : result_(::OleInitialize(nullptr)) {}
    ~OleSession()
    {
        if (SUCCEEDED(result_)) ::OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;
    HRESULT result() const noexcept { return result_; }

private:
    HRESULT result_;
};

// Releases a storage medium that IDataObject::GetData filled.
class StorageMediumGuard {
public:
    explicit StorageMediumGuard(STGMEDIUM& medium) noexcept : medium_(medium) {}
    ~StorageMediumGuard() { ::ReleaseStgMedium(&medium_); }
    StorageMediumGuard(const StorageMediumGuard&) = delete;
    StorageMediumGuard& operator=(const StorageMediumGuard&) = delete;

private:
    STGMEDIUM& medium_;
};

} // namespace quorvane
