#pragma once
// A flag that is set for the span of a scope, for code that must know it runs
// inside a wait further up its own thread's stack. Nested scopes keep what the
// outer one set.

class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) noexcept : flag_(flag), before_(flag) { flag_ = true; }
    ~ScopedFlag() { flag_ = before_; }
    ScopedFlag(const ScopedFlag&) = delete;
    ScopedFlag& operator=(const ScopedFlag&) = delete;

private:
    bool& flag_;
    bool before_;
};
