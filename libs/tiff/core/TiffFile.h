#pragma once
// Whole-file reads for the TIFF and DXF entry points.
#include <cstdint>
#include <vector>

namespace tifcore {

// Largest file read (1 GiB).
constexpr uint64_t kMaxFileBytes = uint64_t(1) << 30;

// Answers 1, -1 (missing, unreadable, a folder), -2 (read error or above
// kMaxFileBytes) or -8 (no memory): the same numbers in both modules.
int32_t readWholeFile(const char* path, std::vector<uint8_t>& out);

} // namespace tifcore
