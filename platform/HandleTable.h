#pragma once
// Internal: one table for every kind of handle the platform library hands
// out, so that a palette handle is never mistaken for a memory block.
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace zp {

enum class HandleKind { Memory, Palette, Bitmap, DeviceContext };

struct HandleObject {
    virtual ~HandleObject() = default;
};

class HandleTable {
  public:
    static HandleTable& instance();
    uintptr_t add(HandleKind kind, std::unique_ptr<HandleObject> object);
    // nullptr when the handle is unknown or of another kind. The caller holds mutex().
    HandleObject* find(uintptr_t handle, HandleKind kind);
    std::unique_ptr<HandleObject> remove(uintptr_t handle, HandleKind kind);
    uint64_t count(HandleKind kind);
    std::recursive_mutex& mutex() { return mutex_; }

  private:
    struct Entry {
        HandleKind kind;
        std::unique_ptr<HandleObject> object;
    };
    std::recursive_mutex mutex_;
    std::unordered_map<uintptr_t, Entry> entries_;
    uintptr_t next_ = 0x1000;
};

} // namespace zp
