#include "libs/imagecore/LzwPlanner.h"

#include <algorithm>
#include <cmath>

namespace ic {

LzwNeighbours LzwNeighbours::make(const uint8_t* rgb, int colors, int distance,
                                  int transparentIndex) {
    LzwNeighbours out;
    out.neighbours.resize(256);
    const int count = std::clamp(colors, 0, 256);
    const int limit = distance * distance;
    for (int i = 0; i < count; ++i) {
        if (i == transparentIndex) continue;
        std::vector<std::pair<int, uint8_t>> near;
        for (int j = 0; j < count; ++j) {
            if (j == i || j == transparentIndex) continue;
            const int dr = rgb[i * 3] - rgb[j * 3];
            const int dg = rgb[i * 3 + 1] - rgb[j * 3 + 1];
            const int db = rgb[i * 3 + 2] - rgb[j * 3 + 2];
            const int d = dr * dr + dg * dg + db * db;
            if (d <= limit) near.emplace_back(d, uint8_t(j));
        }
        std::sort(near.begin(), near.end());
        for (const auto& n : near)
            out.neighbours[size_t(i)].push_back(n.second);
    }
    return out;
}

LzwPlanner::LzwPlanner(int minCodeSize)
    : minCodeSize_(uint32_t(std::clamp(minCodeSize, 2, 8))), clearCode_(1u << minCodeSize_),
      mask_(uint8_t((1u << minCodeSize_) - 1)), table_(kHashSize, 0) {}

void LzwPlanner::reset() {
    // Generation 0 marks the zero-filled table as empty, so it is never used.
    if (++generation_ == 0) {
        std::fill(table_.begin(), table_.end(), 0);
        generation_ = 1;
    }
    width_ = minCodeSize_ + 1;
    nextCode_ = clearCode_ + 2;
}

uint64_t LzwPlanner::run(const uint8_t* pixels, const uint8_t* alternatives, size_t n,
                         const LzwStyle& style, uint8_t* chosen, LzwCodeSink* sink,
                         const LzwNeighbours* lossy, uint64_t limit) {
    filled_ = false;
    uint64_t bits = 0;
    const auto put = [&](uint32_t code) {
        bits += width_;
        if (sink) sink->put(code, width_);
    };
    reset();
    put(clearCode_);
    if (n == 0) {
        put(clearCode_ + 1);
        return bits;
    }
    const auto startValue = [&](size_t i) -> uint32_t {
        const uint32_t p = pixels[i] & mask_;
        return alternatives && style.preferAlternative ? uint32_t(alternatives[i] & mask_) : p;
    };
    uint32_t prefix = startValue(0);
    if (chosen) chosen[0] = uint8_t(prefix);

    // Adaptive clearing: compression of each window of pixels once the
    // table is full, in bits per 64 pixels.
    bool full = false, cleared = false;
    uint64_t windowBits = 0, best = UINT64_MAX;
    size_t windowStart = 0;

    for (size_t i = 1; i < n; ++i) {
        const uint32_t p = pixels[i] & mask_;
        const uint32_t a = alternatives ? uint32_t(alternatives[i] & mask_) : p;
        uint32_t slot = 0, altSlot = 0;
        int32_t code = -1;
        uint32_t took = p;
        // Both values make a string: follow the one that reaches further.
        if (a != p && style.lookahead) {
            const int32_t cp = find(prefix, p, slot);
            const int32_t ca = find(prefix, a, altSlot);
            if (cp >= 0 && ca >= 0) {
                // Looking further rarely changes the choice and costs a
                // walk per pixel along the string.
                const size_t horizon = n - i > kHorizon ? i + kHorizon : n;
                int budget = 24;
                const size_t rp = reach(uint32_t(cp), pixels, alternatives, i + 1, horizon, budget);
                budget = 24;
                const size_t ra = reach(uint32_t(ca), pixels, alternatives, i + 1, horizon, budget);
                const bool alt = ra > rp || (ra == rp && style.preferAlternative);
                prefix = uint32_t(alt ? ca : cp);
                if (chosen) chosen[i] = uint8_t(alt ? a : p);
                continue;
            }
        }
        // The preferred value first, the other when it makes no string.
        if (a != p && style.preferAlternative) {
            code = find(prefix, a, altSlot);
            took = a;
            if (code < 0) {
                code = find(prefix, p, slot);
                took = p;
            }
        } else {
            code = find(prefix, p, slot);
            if (code < 0 && a != p) {
                code = find(prefix, a, altSlot);
                took = a;
            }
        }
        if (code < 0 && lossy) {
            uint32_t unused;
            for (const uint8_t q : lossy->neighbours[p]) {
                if (q > mask_) continue;
                if ((code = find(prefix, q, unused)) >= 0) {
                    took = q;
                    break;
                }
            }
        }
        if (code >= 0) {
            prefix = uint32_t(code);
            if (chosen) chosen[i] = uint8_t(took);
            continue;
        }
        put(prefix);
        if (bits > limit) return UINT64_MAX;
        const uint32_t start = a != p && style.preferAlternative ? a : p;
        if (nextCode_ < kMaxCodes) {
            // The decoder widens when its next code reaches 2^width; it runs
            // one code behind us, hence the check before the new entry.
            if (nextCode_ == (1u << width_)) ++width_;
            const uint32_t key = (prefix << 8) | start;
            table_[start == p ? slot : altSlot] =
                uint64_t(generation_) << 32 | uint64_t(key) << 12 | nextCode_++;
        } else if (style.clear == LzwStyle::WhenFull) {
            put(clearCode_); // at the full 12-bit width
            reset();
            cleared = true;
        } else if (!full) {
            full = true;
            windowBits = bits;
            windowStart = i;
            best = UINT64_MAX;
        } else if (style.clear == LzwStyle::Adaptive && i - windowStart >= style.window) {
            const uint64_t cost = (bits - windowBits) * 64 / (i - windowStart);
            if (best != UINT64_MAX && cost * 64 > best * (64 + style.slack)) {
                put(clearCode_);
                reset();
                full = false;
                cleared = true;
            } else {
                best = std::min(best, cost);
                windowBits = bits;
                windowStart = i;
            }
        }
        prefix = start;
        if (chosen) chosen[i] = uint8_t(start);
    }
    put(prefix);
    // The decoder adds an entry for that last code too, and may widen.
    if (nextCode_ < kMaxCodes && nextCode_ == (1u << width_)) ++width_;
    filled_ = full || cleared || nextCode_ >= kMaxCodes;
    put(clearCode_ + 1);
    return bits;
}

// How far a string can grow from `code` at pixel i, trying both values of
// a pixel that has two while the budget lasts.
size_t LzwPlanner::reach(uint32_t code, const uint8_t* pixels, const uint8_t* alternatives,
                         size_t i, size_t n, int& budget) const {
    uint32_t unused;
    for (; i < n; ++i) {
        const uint32_t p = pixels[i] & mask_;
        const uint32_t a = alternatives[i] & mask_;
        const int32_t cp = find(code, p, unused);
        const int32_t ca = a != p ? find(code, a, unused) : -1;
        if (cp >= 0 && ca >= 0 && budget > 0) {
            --budget;
            return std::max(reach(uint32_t(cp), pixels, alternatives, i + 1, n, budget),
                            reach(uint32_t(ca), pixels, alternatives, i + 1, n, budget));
        }
        if (cp >= 0)
            code = uint32_t(cp);
        else if (ca >= 0)
            code = uint32_t(ca);
        else
            return i;
    }
    return n;
}

LzwStyle LzwPlanner::betterClear(const uint8_t* pixels, size_t n, const LzwNeighbours* lossy,
                                 uint64_t& bits) {
    static constexpr LzwStyle kTries[] = {
        {LzwStyle::Never, false, false, 0, 0},
        {LzwStyle::Adaptive, false, false, 8192, 8},
    };
    LzwStyle chosen;
    for (const LzwStyle& style : kTries) {
        const uint64_t size = run(pixels, nullptr, n, style, nullptr, nullptr, lossy, bits);
        if (size < bits) {
            bits = size;
            chosen = style;
        }
    }
    return chosen;
}

uint64_t LzwPlanner::fileBytes(uint64_t bits) {
    const uint64_t bytes = (bits + 7) / 8;
    return 1 + bytes + (bytes + 254) / 255 + 1;
}

} // namespace ic
