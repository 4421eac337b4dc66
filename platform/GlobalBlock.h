#pragma once
// Owner of one global memory block: frees it (after undoing every lock) when
// it goes out of scope, unless ownership was handed on with release().
#include "platform/GlobalMemory.h"
#include <utility>

namespace zp {

class GlobalBlock {
  public:
    GlobalBlock() = default;
    explicit GlobalBlock(HGLOBAL h) : handle_(h) {}
    static GlobalBlock allocate(uint64_t bytes) { return GlobalBlock(GlobalAlloc(GHND, bytes)); }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    GlobalBlock(GlobalBlock&& o) noexcept : handle_(std::exchange(o.handle_, 0)) {}
    GlobalBlock& operator=(GlobalBlock&& o) noexcept {
        if (this != &o) reset(std::exchange(o.handle_, 0));
        return *this;
    }
    ~GlobalBlock() { reset(); }

    HGLOBAL get() const { return handle_; }
    explicit operator bool() const { return handle_ != 0; }
    HGLOBAL release() { return std::exchange(handle_, 0); }
    void adopt(HGLOBAL h) { reset(h); }
    void reset(HGLOBAL h = 0) {
        if (handle_ && handle_ != h) freeFully(handle_);
        handle_ = h;
    }
    uint64_t size() const { return GlobalSize(handle_); }

    // Unlocks until the lock count is 0, then frees: the one way a block dies.
    static void freeFully(HGLOBAL h) {
        if (!h) return;
        while (GlobalFlags(h) != GMEM_INVALID_HANDLE && (GlobalFlags(h) & 0xFF) > 0)
            GlobalUnlock(h);
        GlobalFree(h);
    }

  private:
    HGLOBAL handle_ = 0;
};

// Holds one lock on a block for its scope.
class GlobalLockGuard {
  public:
    explicit GlobalLockGuard(HGLOBAL h) : handle_(h), data_(GlobalLock(h)) {}
    GlobalLockGuard(const GlobalLockGuard&) = delete;
    GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
    ~GlobalLockGuard() {
        if (data_) GlobalUnlock(handle_);
    }
    void* data() const { return data_; }
    template <class T> T* as() const { return static_cast<T*>(data_); }
    explicit operator bool() const { return data_ != nullptr; }

  private:
    HGLOBAL handle_;
    void* data_;
};

} // namespace zp
