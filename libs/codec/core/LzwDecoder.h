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

// Slack the decoder needs so its inner loop has no bounds tests of its own:
// input is read 8 bytes at a time, the single-byte strings sit just before
// the output, and strings are copied in 16-byte moves that may run past the
// last pixel.
constexpr size_t kLzwInputPadding = 16;
constexpr size_t kLzwHeadroom = 256;
constexpr size_t kLzwTailroom = 16;

// The most pixels one call decodes (positions are kept in 32 bits); more
// gives BadCode.
constexpr size_t kMaxLzwPixels = size_t(1) << 31;

// Decodes data[0, size) into out[0, pixelCount). data[size, size +
// kLzwInputPadding) must be readable (its bytes are never decoded).
// out - kLzwHeadroom up to out + pixelCount + kLzwTailroom must be writable;
// the decoder overwrites all of it, so bytes past `produced` mean nothing.
LzwResult decodeLzw(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out,
                    size_t pixelCount);

} // namespace gifcore
