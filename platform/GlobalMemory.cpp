#include "platform/GlobalMemory.h"
#include "platform/HandleTable.h"

#include <cstdlib>
#include <cstring>
#include <map>

namespace {

struct MemoryBlock : zp::HandleObject {
    unsigned char* data = nullptr;
    uint64_t size = 0;
    uint64_t capacity = 0; // bytes allocated; above size after an in-place shrink
    uint32_t locks = 0;
    ~MemoryBlock() override { std::free(data); }
};

// Start address -> handle, for GlobalHandle. Guarded by the table's mutex.
std::map<uintptr_t, HGLOBAL>& addresses() {
    static std::map<uintptr_t, HGLOBAL> map;
    return map;
}

MemoryBlock* findBlock(HGLOBAL h) {
    return static_cast<MemoryBlock*>(zp::HandleTable::instance().find(h, zp::HandleKind::Memory));
}

} // namespace

HGLOBAL GlobalAlloc(uint32_t /*flags*/, uint64_t bytes) {
    if (bytes > kGlobalAllocLimit) return 0;
    auto block = std::make_unique<MemoryBlock>();
    // Always zero-filled: a reader that trusts a short block sees zeros, not garbage.
    block->data = static_cast<unsigned char*>(std::calloc(bytes ? bytes : 1, 1));
    if (!block->data) return 0;
    block->size = bytes;
    block->capacity = bytes;
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    const uintptr_t address = reinterpret_cast<uintptr_t>(block->data);
    const HGLOBAL h = table.add(zp::HandleKind::Memory, std::move(block));
    addresses()[address] = h;
    return h;
}

void* GlobalLock(HGLOBAL h) {
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    MemoryBlock* block = findBlock(h);
    if (!block) return nullptr;
    if (block->locks < 0xFF) ++block->locks;
    return block->data;
}

int32_t GlobalUnlock(HGLOBAL h) {
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    MemoryBlock* block = findBlock(h);
    if (!block || block->locks == 0) return 0;
    --block->locks;
    return block->locks > 0 ? 1 : 0;
}

uint64_t GlobalSize(HGLOBAL h) {
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    MemoryBlock* block = findBlock(h);
    return block ? block->size : 0;
}

uint32_t GlobalFlags(HGLOBAL h) {
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    MemoryBlock* block = findBlock(h);
    return block ? (block->locks & 0xFF) : GMEM_INVALID_HANDLE;
}

HGLOBAL GlobalReAlloc(HGLOBAL h, uint64_t bytes, uint32_t flags) {
    if (bytes > kGlobalAllocLimit) return 0;
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    MemoryBlock* block = findBlock(h);
    if (!block) return 0;
    if (flags & GMEM_MODIFY) return h;
    if (bytes <= block->capacity) {
        // Fits where it is: no move, so even a locked block may do this.
        if (bytes > block->size) std::memset(block->data + block->size, 0, bytes - block->size);
        block->size = bytes;
        return h;
    }
    if (block->locks > 0) return 0; // a caller holds the address
    auto* moved = static_cast<unsigned char*>(std::realloc(block->data, bytes));
    if (!moved) return 0;
    std::memset(moved + block->size, 0, bytes - block->size);
    auto& map = addresses();
    map.erase(reinterpret_cast<uintptr_t>(block->data));
    map[reinterpret_cast<uintptr_t>(moved)] = h;
    block->data = moved;
    block->size = bytes;
    block->capacity = bytes;
    return h;
}

HGLOBAL GlobalFree(HGLOBAL h) {
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    MemoryBlock* block = findBlock(h);
    if (!block) return h;
    addresses().erase(reinterpret_cast<uintptr_t>(block->data));
    table.remove(h, zp::HandleKind::Memory);
    return 0;
}

HGLOBAL GlobalHandle(const void* pointer) {
    if (!pointer) return 0;
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    auto& map = addresses();
    const uintptr_t p = reinterpret_cast<uintptr_t>(pointer);
    auto it = map.upper_bound(p);
    if (it == map.begin()) return 0;
    --it;
    MemoryBlock* block = findBlock(it->second);
    if (!block) return 0;
    const uint64_t span = block->size ? block->size : 1;
    return p - it->first < span ? it->second : 0;
}

uint64_t GlobalBlockCount() {
    return zp::HandleTable::instance().count(zp::HandleKind::Memory);
}
