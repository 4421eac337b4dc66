#include "libs/imagecore/ColorLookup.h"

#include <algorithm>
#include <climits>

namespace ic {

ColorLookup::ColorLookup(const std::vector<RGBQUAD>& palette, int cellBits)
    : bits_(std::clamp(cellBits, 3, 6)), shift_(8 - bits_),
      palette_(palette.begin(),
               palette.begin() + std::ptrdiff_t(std::min<size_t>(palette.size(), 256))),
      cellStart_(size_t(1) << (3 * bits_), -1), cellLength_(size_t(1) << (3 * bits_), 0) {
    red_.reserve(palette.size());
    green_.reserve(palette.size());
    blue_.reserve(palette.size());
    for (const RGBQUAD& q : palette_) {
        red_.push_back(q.rgbRed);
        green_.push_back(q.rgbGreen);
        blue_.push_back(q.rgbBlue);
    }
    pool_.reserve(4096);
}

void ColorLookup::fillCell(uint32_t cell) {
    const int side = 1 << shift_;
    const uint32_t mask = (1u << bits_) - 1;
    const int lo[3] = {int(cell >> (2 * bits_)) * side, int((cell >> bits_) & mask) * side,
                       int(cell & mask) * side};
    const int n = size();
    // Squared distance from each entry to the nearest and to the farthest
    // point of the cell. Every colour of the cell is within `bound` of some
    // entry, so an entry whose nearest point lies farther never wins.
    int near[256];
    int bound = INT_MAX;
    const std::vector<int>* channels[3] = {&red_, &green_, &blue_};
    for (int i = 0; i < n; ++i) {
        int nearSum = 0, farSum = 0;
        for (int a = 0; a < 3; ++a) {
            const int v = (*channels[a])[size_t(i)];
            const int below = lo[a] - v, above = v - (lo[a] + side - 1);
            const int d = std::max(0, std::max(below, above));
            const int f = std::max(v - lo[a], lo[a] + side - 1 - v);
            nearSum += d * d;
            farSum += f * f;
        }
        near[i] = nearSum;
        bound = std::min(bound, farSum);
    }
    const int32_t start = int32_t(pool_.size());
    for (int i = 0; i < n; ++i)
        if (near[i] <= bound) pool_.push_back(uint8_t(i));
    cellStart_[cell] = start;
    cellLength_[cell] = uint16_t(pool_.size() - size_t(start));
}

} // namespace ic
