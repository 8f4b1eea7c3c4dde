#pragma once
// One owner per handle, for every layer. The release rule is part of the type,
// so a handle that must be released differently needs its own alias, and
// mixing them up does not compile. Most handles are invalid when null; those
// the system reports as INVALID_HANDLE_VALUE (files) say so in their alias.
#include <windows.h>

#include <utility>

// The invalid value of most handle kinds: null.
template <typename Handle>
struct NullHandle {
    static constexpr Handle value() noexcept { return Handle{}; }
};

// The invalid value of file and snapshot handles.
struct InvalidHandleValue {
    static HANDLE value() noexcept { return INVALID_HANDLE_VALUE; }
};

template <typename Handle, auto Release, typename Invalid = NullHandle<Handle>>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    ~UniqueHandle() { reset(); }

    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    // Copying would release the handle twice.
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != Invalid::value(); }

    // Gives the handle up without releasing it.
    Handle release() noexcept { return std::exchange(handle_, Invalid::value()); }

    void reset(Handle handle = Invalid::value()) noexcept
    {
        const Handle old = std::exchange(handle_, handle);
        if (old != Invalid::value()) {
            Release(old);
        }
    }

    // For a call that hands over a new handle through a pointer: the one held
    // before is released first.
    Handle* put() noexcept
    {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = Invalid::value();
};

// Kernel objects whose creation reports failure as null: mutexes, events, threads, processes.
using UniqueKernelHandle = UniqueHandle<HANDLE, &::CloseHandle>;
// Files and snapshots, which report failure as INVALID_HANDLE_VALUE.
using UniqueFileHandle = UniqueHandle<HANDLE, &::CloseHandle, InvalidHandleValue>;
using UniqueLibrary = UniqueHandle<HMODULE, &::FreeLibrary>;
// A device context from CreateDC or CreateCompatibleDC: deleted, not released.
using UniqueCreatedDC = UniqueHandle<HDC, &::DeleteDC>;
using UniqueRegistryKey = UniqueHandle<HKEY, &::RegCloseKey>;
