#pragma once
// Move-only owners for the three kinds of COM resource the WMI query holds:
// an interface reference, a COM string and a variant.
#include "common/UniqueHandle.h"

#include <windows.h>
#include <oleauto.h>

#include <utility>

// Holds one reference on a COM interface and releases it exactly once.
template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    ~ComPtr() { reset(); }
    ComPtr(ComPtr&& other) noexcept : pointer(std::exchange(other.pointer, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept
    {
        if (this != &other) {
            reset();
            pointer = std::exchange(other.pointer, nullptr);
        }
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;

    Interface* get() const { return pointer; }
    Interface* operator->() const { return pointer; }
    explicit operator bool() const { return pointer != nullptr; }

    // The out-parameter of a call that hands over a reference; drops the old one first.
    Interface** put()
    {
        reset();
        return &pointer;
    }

    void reset()
    {
        if (pointer != nullptr) {
            std::exchange(pointer, nullptr)->Release();
        }
    }

private:
    Interface* pointer = nullptr;
};

// Owns a BSTR from SysAllocString or SysAllocStringLen.
using ComString = UniqueHandle<BSTR, &::SysFreeString>;

// A variant that starts empty and is cleared (freeing what it holds) at the end.
class Variant {
public:
    Variant() { VariantInit(&value); }
    ~Variant() { VariantClear(&value); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    const VARIANT& get() const { return value; }
    VARIANT* put()
    {
        VariantClear(&value);
        return &value;
    }

private:
    VARIANT value;
};
