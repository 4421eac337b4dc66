#pragma once
// GIF's variable-length LZW, written as the image data sub-blocks that follow
// an image descriptor: the minimum code size byte, the data in blocks of at
// most 255 bytes, and the zero-length terminator. The stream starts with a
// clear code; when all 4096 codes are taken it sends a clear code and starts
// a fresh table, as every GIF decoder expects.
#include "libs/codec/core/ByteSink.h"
#include "libs/imagecore/LzwPlanner.h"
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace gifenc {

class LzwEncoder {
  public:
    // minCodeSize 2..8: the bits of the colour table (at least 2, as GIF
    // requires). Pixel indices are masked to that many bits so the stream
    // stays decodable whatever the caller hands in.
    LzwEncoder(ByteSink& sink, int minCodeSize);

    // Appends pixels in stream order (rows in GIF order, left to right).
    void encode(const uint8_t* pixels, size_t count);
    // Sends the last code, the end code and the terminator block. False when
    // the sink failed at any point.
    bool finish();

  private:
    static constexpr uint32_t kMaxCodes = 4096;
    static constexpr uint32_t kHashBits = 14; // 4x the codes: short probe runs
    static constexpr uint32_t kHashSize = 1u << kHashBits;
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;

    void resetTable();
    void putCode(uint32_t code) {
        bitBuffer_ |= uint64_t(code) << bitCount_;
        bitCount_ += width_;
        if (bitCount_ >= 32) spillBits();
    }
    void spillBits();
    void flushRaw();

    ByteSink& sink_;
    const int minCodeSize_;
    const uint32_t clearCode_;
    const uint32_t endCode_;
    const uint8_t mask_;
    uint32_t width_ = 0;
    uint32_t nextCode_ = 0;
    int32_t prefix_ = -1; // -1 until the first pixel
    uint64_t bitBuffer_ = 0;
    uint32_t bitCount_ = 0;
    bool ok_ = true;

    // Entry: key (prefix << 8 | pixel, 20 bits) << 12 | code.
    std::vector<uint32_t> table_;
    // Packed bytes not yet cut into sub-blocks; a whole number of blocks
    // plus slack for one spill.
    std::vector<uint8_t> raw_;
    size_t rawUsed_ = 0;
    std::vector<uint8_t> framed_;
};

// Codes planned by ic::LzwPlanner, packed and cut into sub-blocks: the
// minimum code size byte first, the terminator block on finish().
class LzwCodeWriter final : public ic::LzwCodeSink {
  public:
    LzwCodeWriter(ByteSink& sink, int minCodeSize);
    void put(uint32_t code, uint32_t width) override;
    bool finish();

  private:
    void flushBlock();

    ByteSink& sink_;
    uint64_t bitBuffer_ = 0;
    uint32_t bitCount_ = 0;
    uint8_t block_[256] = {};
    size_t used_ = 0;
    bool ok_ = true;
};

} // namespace gifenc
