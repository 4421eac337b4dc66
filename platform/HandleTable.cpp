#include "platform/HandleTable.h"

namespace zp {

HandleTable& HandleTable::instance() {
    static HandleTable table;
    return table;
}

uintptr_t HandleTable::add(HandleKind kind, std::unique_ptr<HandleObject> object) {
    std::lock_guard lock(mutex_);
    // Multiples of 4, never reused: a stale handle stays invalid.
    const uintptr_t handle = next_;
    next_ += 4;
    entries_.emplace(handle, Entry{kind, std::move(object)});
    return handle;
}

HandleObject* HandleTable::find(uintptr_t handle, HandleKind kind) {
    auto it = entries_.find(handle);
    if (it == entries_.end() || it->second.kind != kind) return nullptr;
    return it->second.object.get();
}

std::unique_ptr<HandleObject> HandleTable::remove(uintptr_t handle, HandleKind kind) {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(handle);
    if (it == entries_.end() || it->second.kind != kind) return nullptr;
    auto object = std::move(it->second.object);
    entries_.erase(it);
    return object;
}

uint64_t HandleTable::count(HandleKind kind) {
    std::lock_guard lock(mutex_);
    uint64_t n = 0;
    for (auto& [handle, entry] : entries_)
        if (entry.kind == kind) ++n;
    return n;
}

} // namespace zp
