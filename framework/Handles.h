#pragma once
// One owner per handle. The release rule is part of the type, so a handle
// that must be released differently needs its own alias, and mixing them up
// does not compile.
#include <windows.h>

#include <utility>

template <typename Handle, auto Release>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
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

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }

    // Gives the handle up without releasing it.
    Handle release() { return std::exchange(handle_, Handle{}); }

    void reset(Handle handle = Handle{})
    {
        const Handle old = std::exchange(handle_, handle);
        if (old != Handle{}) {
            Release(old);
        }
    }

private:
    Handle handle_{};
};
