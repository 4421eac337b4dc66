#include "imaging/animated/DuplicateGlobalBlock.h"
#include "platform/GlobalMemory.h"

#include <cstring>

HGLOBAL DuplicateGlobalBlock(HGLOBAL source) {
    if (source == 0) return 0;
    const uint64_t size = GlobalSize(source);
    if (size == 0) return 0;
    const HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!copy) return 0;
    const void* from = GlobalLock(source);
    void* to = GlobalLock(copy);
    if (from && to) std::memcpy(to, from, size);
    GlobalUnlock(copy);
    GlobalUnlock(source);
    return copy;
}
