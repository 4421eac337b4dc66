#pragma once
// GIF's variable-length LZW, decoded from one contiguous buffer (the image's
// data sub-blocks joined, length bytes removed).
#include <cstddef>
#include <cstdint>

namespace gifcore {

enum class LzwStatus {
    Complete,  // every pixel was produced (data past the last pixel is ignored)
    ShortData, // end code or end of data came before the last pixel
    BadCode,   // a code beyond the table: the stream is corrupt
};

struct LzwResult {
    LzwStatus status;
    size_t produced; // pixels written to out
};

// The minimum code sizes the decoder accepts. Below 1 the code space has no
// room for literals; above 8 literals no longer fit a byte.
constexpr int kMinLzwCodeSize = 1;
constexpr int kMaxLzwCodeSize = 8;

// Decodes into out[0, pixelCount). out must hold pixelCount bytes; bytes past
// `produced` are left as they were.
LzwResult decodeLzw(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out,
                    size_t pixelCount);

} // namespace gifcore
