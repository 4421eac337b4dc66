#pragma once
// Nearest palette entry of a colour, fast enough for every pixel of a large
// picture. The colour cube is cut into cells (2^cellBits per side); on first
// use a cell gets the list of entries that can be nearest to some colour
// inside it (the "locally sorted search"), so a lookup scans a handful of
// entries instead of the whole palette while staying exact. Finer cells mean
// shorter lists but more of them to fill: 5 bits suits large pictures, 4
// bits a few thousand lookups.
#include "platform/WinTypes.h"
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ic {

class ColorLookup {
  public:
    // palette: 1..256 entries; cellBits: 3..6.
    explicit ColorLookup(const std::vector<RGBQUAD>& palette, int cellBits = 5);

    // Index of the closest entry (squared RGB distance, lowest index on ties,
    // as GetNearestPaletteIndex). Channels must be 0..255.
    uint8_t nearest(int r, int g, int b) {
        const uint32_t cell = uint32_t(r >> shift_) << (2 * bits_) |
                              uint32_t(g >> shift_) << bits_ | uint32_t(b >> shift_);
        if (cellStart_[cell] < 0) fillCell(cell);
        const uint8_t* c = pool_.data() + cellStart_[cell];
        const uint8_t* end = c + cellLength_[cell];
        uint8_t best = *c;
        int bestDistance = distance(best, r, g, b);
        for (++c; c < end && bestDistance > 0; ++c) {
            const int d = distance(*c, r, g, b);
            if (d < bestDistance) {
                bestDistance = d;
                best = *c;
            }
        }
        return best;
    }

    int size() const { return int(red_.size()); }
    const RGBQUAD& color(int index) const { return palette_[size_t(index)]; }

  private:
    int distance(int i, int r, int g, int b) const {
        const int dr = red_[size_t(i)] - r, dg = green_[size_t(i)] - g, db = blue_[size_t(i)] - b;
        return dr * dr + dg * dg + db * db;
    }
    void fillCell(uint32_t cell);

    int bits_;
    int shift_;
    std::vector<RGBQUAD> palette_;
    std::vector<int> red_, green_, blue_;
    std::vector<int32_t> cellStart_;   // offset into pool_; -1 = not computed yet
    std::vector<uint16_t> cellLength_; // 1..256 candidates
    std::vector<uint8_t> pool_;
};

} // namespace ic
