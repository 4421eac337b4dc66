#pragma once
// Whole-file reads for the codec's entry points.
#include <cstdint>
#include <vector>

namespace gifcore {

// Largest file the codec reads.
constexpr uint64_t kMaxFileBytes = uint64_t(1) << 30;

// Reads the file into out. Answers PVE_OK, PVE_OPEN (missing, unreadable,
// a folder), PVE_TOO_LARGE (above kMaxFileBytes), PVE_READ or PVE_NO_MEMORY.
int32_t readFileBytes(const char* path, std::vector<uint8_t>& out);

} // namespace gifcore
