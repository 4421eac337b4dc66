#include "imaging/animated/ChooseUnchangedPixels.h"

#include "libs/imagecore/LzwPlanner.h"

#include <algorithm>

namespace PVWebImg {

namespace {

// A run of one colour, split where it must be drawn: unchanged stretches
// between drawn pixels, before the first and after the last are drawn in the
// colour when no longer than the given lengths, else left transparent.
std::vector<uint8_t> drawRuns(const std::vector<uint8_t>& pixels,
                              const std::vector<uint8_t>& alternatives, uint8_t transparent,
                              size_t between, size_t leading, size_t trailing) {
    std::vector<uint8_t> out(alternatives);
    const auto fill = [&](size_t from, size_t to, size_t limit) {
        if (to - from <= limit)
            std::copy(pixels.begin() + ptrdiff_t(from), pixels.begin() + ptrdiff_t(to),
                      out.begin() + ptrdiff_t(from));
    };
    for (size_t i = 0; i < pixels.size();) {
        size_t end = i;
        size_t first = SIZE_MAX, last = 0;
        for (; end < pixels.size() && pixels[end] == pixels[i]; ++end)
            if (pixels[end] == alternatives[end] && pixels[end] != transparent) {
                if (first == SIZE_MAX)
                    first = end;
                else
                    fill(last + 1, end, between);
                last = end;
            }
        if (first != SIZE_MAX) {
            fill(i, first, leading);
            fill(last + 1, end, trailing);
        }
        i = end;
    }
    return out;
}

// Unchanged stretches of a row between two pixels that must be drawn are
// drawn in their own colours when no longer than `limit` or, with
// `uniform`, of one colour (the row then reads as the picture it is, which
// earlier rows taught the LZW table); others, and those at a row's ends,
// are transparent.
std::vector<uint8_t> fillGaps(const std::vector<uint8_t>& pixels,
                              const std::vector<uint8_t>& alternatives, uint8_t transparent,
                              size_t width, size_t limit, bool uniform = false) {
    std::vector<uint8_t> out(alternatives);
    for (size_t row = 0; row + width <= pixels.size(); row += width) {
        size_t lastDrawn = SIZE_MAX;
        for (size_t x = 0; x < width; ++x) {
            const size_t i = row + x;
            if (pixels[i] != alternatives[i] || pixels[i] == transparent) continue;
            if (lastDrawn != SIZE_MAX) {
                const auto from = pixels.begin() + ptrdiff_t(row + lastDrawn + 1);
                const auto to = pixels.begin() + ptrdiff_t(i);
                if (size_t(to - from) <= limit ||
                    (uniform && std::all_of(from, to, [&](uint8_t v) { return v == *from; })))
                    std::copy(from, to, out.begin() + (from - pixels.begin()));
            }
            lastDrawn = x;
        }
    }
    return out;
}

} // namespace

std::vector<uint8_t> ChooseUnchangedPixels(const std::vector<uint8_t>& pixels,
                                           const std::vector<uint8_t>& alternatives,
                                           uint8_t transparent, size_t width, int bits, int level,
                                           PVChoiceHistory& history, uint64_t* streamBits) {
    ic::LzwPlanner planner(std::max(2, bits));
    std::vector<uint8_t> best(pixels.size()), candidate(pixels.size());
    // Each candidate stops as soon as it is larger than the best so far, so
    // those that win most often come first.
    uint64_t smallest = UINT64_MAX;
    int number = -1, winner = 0;
    const uint32_t seen = history.frames++;
    // Small frames cost little, and a frame far larger than the ones before
    // (a screen recording's jump) has the most to gain: they try everything.
    const bool small = pixels.size() <= (size_t(1) << 15) ||
                       (seen > 0 && pixels.size() > 2 * (history.pixels / seen));
    history.pixels += pixels.size();
    // cost: about how many plain parses the candidate takes; a costly one
    // must win more often to be tried on every frame.
    const auto worth = [&](uint32_t cost = 1) {
        ++number;
        return number < 2 || small || seen < 16 || seen % 8 == 0 ||
               history.wins[number] * 64 >= seen * cost;
    };
    const auto parse = [&](bool prefer, bool ahead) {
        if (!worth(ahead ? 4 : 1)) return;
        ic::LzwStyle style;
        style.preferAlternative = prefer;
        style.lookahead = ahead;
        const uint64_t size = planner.run(pixels.data(), alternatives.data(), pixels.size(), style,
                                          candidate.data(), nullptr, nullptr, smallest);
        if (size < smallest) {
            smallest = size;
            best.swap(candidate);
            winner = number;
        }
    };
    // Rules are made only when they are to be measured.
    const auto consider = [&](auto&& make, bool enabled = true, uint32_t cost = 1) {
        if (!worth(cost) || !enabled) return;
        std::vector<uint8_t> rule = make();
        const uint64_t size =
            planner.run(rule.data(), nullptr, rule.size(), {}, nullptr, nullptr, nullptr, smallest);
        if (size < smallest) {
            smallest = size;
            best = std::move(rule);
            winner = number;
        }
    };
    const auto done = [&] {
        ++history.wins[winner];
        if (streamBits) *streamBits = smallest;
        return best;
    };
    parse(true, false);
    parse(false, false);
    if (level < 3) return done();
    size_t open = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
        open += pixels[i] != alternatives[i];
    // Where most pixels change (a pan, a fade) the row rules have little to
    // work with and rarely win; they are left out to keep the time.
    const bool rules = open * 2 >= pixels.size();
    const auto gaps = [&](size_t limit, bool uniform) {
        return [&, limit, uniform] {
            return fillGaps(pixels, alternatives, transparent, width, limit, uniform);
        };
    };
    const auto runs = [&](size_t leading, size_t trailing) {
        return [&, leading, trailing] {
            return drawRuns(pixels, alternatives, transparent, SIZE_MAX, leading, trailing);
        };
    };
    consider(gaps(64, false), rules);
    consider(gaps(0, true), rules);
    consider(gaps(16, false), rules);
    parse(true, true);
    parse(false, true);
    consider([&] { return alternatives; }); // every unchanged pixel transparent
    consider([&] { return pixels; });       // none transparent
    consider(runs(SIZE_MAX, SIZE_MAX), rules, 4);
    consider(runs(0, SIZE_MAX), rules, 4);
    consider(runs(8, 8), rules, 4);
    consider(runs(0, 0), rules, 4);
    return done();
}

} // namespace PVWebImg
