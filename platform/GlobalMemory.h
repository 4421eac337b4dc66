#pragma once
// Global memory blocks: the container of every packed DIB. Win32 names and
// meanings over a process-wide, thread-safe handle table. A block moves only
// through GlobalReAlloc while it is unlocked, so a lock answers the same
// pointer until then; the lock count is kept so that callers that unlock
// "until the count is 0" behave as on Windows.
#include "platform/PlatformExport.h"
#include "platform/WinTypes.h"
#include <cstddef>
#include <cstdint>

constexpr uint32_t GMEM_FIXED = 0x0000;
constexpr uint32_t GMEM_MOVEABLE = 0x0002;
constexpr uint32_t GMEM_ZEROINIT = 0x0040;
constexpr uint32_t GMEM_MODIFY = 0x0080;
constexpr uint32_t GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr uint32_t GMEM_INVALID_HANDLE = 0x8000;

// Refused sizes answer 0 rather than asking the allocator for absurd amounts.
constexpr uint64_t kGlobalAllocLimit = uint64_t(3) << 30;

ZP_API HGLOBAL GlobalAlloc(uint32_t flags, uint64_t bytes);
// Answers the block's memory and raises its lock count; nullptr for a bad handle.
ZP_API void* GlobalLock(HGLOBAL block);
// Lowers the lock count; answers 1 while still locked, 0 once unlocked.
ZP_API int32_t GlobalUnlock(HGLOBAL block);
// Bytes of the block; 0 for a bad handle.
ZP_API uint64_t GlobalSize(HGLOBAL block);
// Lock count in the low byte; GMEM_INVALID_HANDLE for a bad handle.
ZP_API uint32_t GlobalFlags(HGLOBAL block);
// Resizes a block, keeping the handle and the first min(old, new) bytes; new
// bytes are zero. An unlocked block may move (GlobalHandle follows it); a
// locked one is never moved, so it may only shrink (in place). With
// GMEM_MODIFY only the flags would change: the block is left as it is.
// Answers the handle, or 0 (block unchanged) for a bad handle, a refused
// size, growth while locked or no memory.
ZP_API HGLOBAL GlobalReAlloc(HGLOBAL block, uint64_t bytes, uint32_t flags);
// Answers 0 on success and the handle itself on failure.
ZP_API HGLOBAL GlobalFree(HGLOBAL block);
// The block whose memory starts at (or contains) the pointer; 0 if none.
ZP_API HGLOBAL GlobalHandle(const void* pointer);
// Number of live blocks: lets tests prove nothing leaked.
ZP_API uint64_t GlobalBlockCount();
