#pragma once
// The code stream of GIF's LZW for a run of pixels, with the choices an
// optimising writer has: when to send a clear code once the table is full,
// which of two values a pixel takes when either would show the same (a
// pixel that may also be transparent), and, for a lossy stream, which
// nearby colour a pixel may take to make a string longer. Counting a stream's
// bits and emitting it are one parse, so what was measured is what gets
// written. The codec's writer and the animation optimiser share it.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ic {

struct LzwStyle {
    enum Clear : uint8_t {
        WhenFull, // a clear code as soon as all 4096 codes are taken
        Adaptive, // keep the full table while its strings still pay
        Never,    // keep the full table to the end
    };
    Clear clear = WhenFull;
    // A pixel with two allowed values that starts a string takes the second
    // (usually the transparent index) rather than the first.
    bool preferAlternative = false;
    // Where both values of such a pixel continue the string, take the one
    // whose string reaches further (a short search) rather than the first.
    bool lookahead = false;
    // Adaptive: pixels per measured window and how much worse (in 1/64) a
    // window may compress than the best one since the table filled.
    uint32_t window = 4096;
    uint32_t slack = 8;
};

// Where the codes go: the width is the code width in force (3..12 bits).
class LzwCodeSink {
  public:
    virtual ~LzwCodeSink() = default;
    virtual void put(uint32_t code, uint32_t width) = 0;
};

// Colours near each other, for a lossy stream: neighbours[i] lists the
// indices within the distance of colour i, nearest first. An index with no
// list (the transparent one) is never replaced and never replaces.
struct LzwNeighbours {
    std::vector<std::vector<uint8_t>> neighbours; // 256 lists
    // rgb: R G B triples for `colors` entries; distance: Euclidean in RGB.
    static LzwNeighbours make(const uint8_t* rgb, int colors, int distance, int transparentIndex);
};

class LzwPlanner {
  public:
    // minCodeSize 2..8; pixel values are masked to that many bits.
    explicit LzwPlanner(int minCodeSize);

    // One greedy parse of n pixels (clear code first, end code last).
    // alternatives: nullptr, or per pixel a second allowed value (equal to
    // the pixel when it has none). chosen (may be nullptr or alias pixels)
    // receives the value each pixel took. sink may be nullptr to count only.
    // Answers the bits of the stream, sub-block framing not included.
    // A run that passes `limit` bits stops there and answers UINT64_MAX
    // (chosen is then incomplete): a candidate that cannot win is not
    // finished.
    uint64_t run(const uint8_t* pixels, const uint8_t* alternatives, size_t n,
                 const LzwStyle& style, uint8_t* chosen, LzwCodeSink* sink,
                 const LzwNeighbours* lossy = nullptr, uint64_t limit = UINT64_MAX);
    // Whether the last run took every code (only then do clear strategies
    // differ).
    bool Filled() const { return filled_; }

    // After a run that filled the table (Filled()) in `bits` bits: the
    // clear strategy whose stream is smaller, WhenFull when none is; bits
    // then holds its size.
    LzwStyle betterClear(const uint8_t* pixels, size_t n, const LzwNeighbours* lossy,
                         uint64_t& bits);

    // Bytes a stream of that many bits takes in the file: the code-size
    // byte, sub-block lengths and the terminator included.
    static uint64_t fileBytes(uint64_t bits);

  private:
    static constexpr uint32_t kMaxCodes = 4096;
    static constexpr size_t kHorizon = 24; // pixels a lookahead compares
    static constexpr uint32_t kHashBits = 14;
    static constexpr uint32_t kHashSize = 1u << kHashBits;

    void reset();
    size_t reach(uint32_t code, const uint8_t* pixels, const uint8_t* alternatives, size_t i,
                 size_t n, int& budget) const;
    // The code of prefix + pixel, or -1; slot receives where to add it.
    int32_t find(uint32_t prefix, uint32_t pixel, uint32_t& slot) const {
        const uint32_t key = (prefix << 8) | pixel;
        uint32_t h = (key * 2654435761u) >> (32 - kHashBits);
        for (;;) {
            const uint64_t e = table_[h];
            if (uint32_t(e >> 32) != generation_) break;
            if (((uint32_t(e) >> 12) & 0xFFFFF) == key) return int32_t(uint32_t(e) & 0xFFF);
            h = (h + 1) & (kHashSize - 1);
        }
        slot = h;
        return -1;
    }

    const uint32_t minCodeSize_;
    const uint32_t clearCode_;
    const uint8_t mask_;
    uint32_t width_ = 0;
    uint32_t nextCode_ = 0;
    uint32_t generation_ = 0;
    bool filled_ = false; // the last run took every code
    // Entry: generation << 32 | key (prefix << 8 | pixel) << 12 | code; a
    // slot of another generation is empty, so a reset costs nothing.
    std::vector<uint64_t> table_;
};

} // namespace ic
