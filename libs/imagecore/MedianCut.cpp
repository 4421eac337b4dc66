#include "libs/imagecore/MedianCut.h"
#include "libs/imagecore/ColorLookup.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace ic {

namespace {

constexpr int kKMeansPasses = 5;
// Stop refining once no centre moves farther than this (channel units).
constexpr double kSettled = 0.25;

// Weighted sums of a set of colours, from which the squared error around
// their mean follows in O(1).
struct Stats {
    double weight = 0;
    double sum[3] = {0, 0, 0};
    double square[3] = {0, 0, 0};

    void add(const Stats& o) {
        weight += o.weight;
        for (int a = 0; a < 3; ++a) {
            sum[a] += o.sum[a];
            square[a] += o.square[a];
        }
    }
    void add(const WeightedColor& c) {
        weight += c.weight;
        for (int a = 0; a < 3; ++a) {
            sum[a] += c.weight * c.channel[a];
            square[a] += c.weight * double(c.channel[a]) * c.channel[a];
        }
    }
    Stats minus(const Stats& o) const {
        Stats s;
        s.weight = weight - o.weight;
        for (int a = 0; a < 3; ++a) {
            s.sum[a] = sum[a] - o.sum[a];
            s.square[a] = square[a] - o.square[a];
        }
        return s;
    }
    double error(int axis) const {
        if (weight <= 0) return 0;
        return std::max(0.0, square[axis] - sum[axis] * sum[axis] / weight);
    }
    double error() const { return error(0) + error(1) + error(2); }
    double mean(int axis) const { return weight > 0 ? sum[axis] / weight : 0; }
};

struct Box {
    size_t begin;
    size_t end;
    Stats stats;
    bool splittable;
};

Stats statsOf(const std::vector<WeightedColor>& colors, size_t begin, size_t end) {
    Stats s;
    for (size_t i = begin; i < end; ++i)
        s.add(colors[i]);
    return s;
}

// Splits the box at the point that leaves the least total error in the two
// halves, along its axis of largest error (or the next, when every colour
// of the box shares one value on that axis). Candidate cuts lie between
// whole channel values, so a pass over 256 buckets finds the best one.
// False when the box cannot be split.
bool split(std::vector<WeightedColor>& colors, const Box& box, Box& low, Box& high) {
    int axes[3] = {0, 1, 2};
    std::sort(axes, axes + 3,
              [&](int x, int y) { return box.stats.error(x) > box.stats.error(y); });
    for (const int axis : axes) {
        auto bucketOf = [axis](const WeightedColor& c) {
            return std::clamp(int(c.channel[axis]), 0, 255);
        };
        std::vector<Stats> buckets(256);
        for (size_t i = box.begin; i < box.end; ++i)
            buckets[size_t(bucketOf(colors[i]))].add(colors[i]);
        Stats left, bestLeft;
        int bestCut = -1;
        double bestCost = std::numeric_limits<double>::infinity();
        for (int cut = 0; cut < 255; ++cut) {
            if (buckets[size_t(cut)].weight <= 0) continue;
            left.add(buckets[size_t(cut)]);
            const Stats right = box.stats.minus(left);
            if (right.weight <= 0) break;
            const double cost = left.error() + right.error();
            if (cost < bestCost) {
                bestCost = cost;
                bestCut = cut;
                bestLeft = left;
            }
        }
        if (bestCut < 0) continue;
        const auto middle = std::partition(
            colors.begin() + std::ptrdiff_t(box.begin), colors.begin() + std::ptrdiff_t(box.end),
            [&](const WeightedColor& c) { return bucketOf(c) <= bestCut; });
        const size_t cut = size_t(middle - colors.begin());
        low = Box{box.begin, cut, bestLeft, true};
        high = Box{cut, box.end, box.stats.minus(bestLeft), true};
        return true;
    }
    return false;
}

uint8_t toChannel(double v) {
    return uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

RGBQUAD toQuad(const double* c) {
    return RGBQUAD{toChannel(c[2]), toChannel(c[1]), toChannel(c[0]), 0};
}

} // namespace

std::vector<WeightedColor> colorHistogram(const RgbImage& image) {
    struct Cell {
        uint64_t sum[3];
        uint64_t count;
    };
    std::vector<Cell> cells(size_t(1) << 18, Cell{{0, 0, 0}, 0});
    for (int32_t y = 0; y < image.height; ++y) {
        const uint32_t* row = image.pixels + size_t(y) * size_t(image.width);
        for (int32_t x = 0; x < image.width; ++x) {
            const uint32_t r = (row[x] >> 16) & 0xFF, g = (row[x] >> 8) & 0xFF, b = row[x] & 0xFF;
            Cell& c = cells[(r >> 2) << 12 | (g >> 2) << 6 | (b >> 2)];
            c.sum[0] += r;
            c.sum[1] += g;
            c.sum[2] += b;
            ++c.count;
        }
    }
    std::vector<WeightedColor> out;
    for (const Cell& c : cells) {
        if (!c.count) continue;
        const double n = double(c.count);
        out.push_back(WeightedColor{
            {float(double(c.sum[0]) / n), float(double(c.sum[1]) / n), float(double(c.sum[2]) / n)},
            n});
    }
    return out;
}

std::vector<RGBQUAD> medianCutPalette(std::vector<WeightedColor> colors, int maxColors) {
    maxColors = std::clamp(maxColors, 1, 256);
    if (colors.empty()) return {RGBQUAD{0, 0, 0, 0}};

    std::vector<Box> boxes{Box{0, colors.size(), statsOf(colors, 0, colors.size()), true}};
    while (int(boxes.size()) < maxColors) {
        size_t pick = boxes.size();
        double worst = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (!boxes[i].splittable || boxes[i].end - boxes[i].begin < 2) continue;
            const double e = boxes[i].stats.error();
            if (e > worst) {
                worst = e;
                pick = i;
            }
        }
        if (pick == boxes.size()) break; // every box is one colour
        Box low, high;
        if (!split(colors, boxes[pick], low, high)) {
            boxes[pick].splittable = false;
            continue;
        }
        boxes[pick] = low;
        boxes.push_back(high);
    }

    // k-means over the histogram, starting from the box means: moves each
    // entry to the centre of the colours that actually map to it.
    const size_t k = boxes.size();
    std::vector<double> centre(k * 3), weight(k, 0);
    for (size_t i = 0; i < k; ++i)
        for (int a = 0; a < 3; ++a)
            centre[i * 3 + size_t(a)] = boxes[i].stats.mean(a);
    for (int pass = 0; pass < kKMeansPasses; ++pass) {
        std::vector<RGBQUAD> palette(k);
        for (size_t i = 0; i < k; ++i)
            palette[i] = toQuad(&centre[i * 3]);
        ColorLookup lookup(palette, 4);
        std::vector<double> sum(k * 3, 0);
        std::fill(weight.begin(), weight.end(), 0);
        for (const WeightedColor& c : colors) {
            const size_t i = lookup.nearest(toChannel(c.channel[0]), toChannel(c.channel[1]),
                                            toChannel(c.channel[2]));
            weight[i] += c.weight;
            for (int a = 0; a < 3; ++a)
                sum[i * 3 + size_t(a)] += c.weight * c.channel[a];
        }
        double moved = 0;
        for (size_t i = 0; i < k; ++i) {
            if (weight[i] <= 0) continue; // an unused entry keeps its colour
            for (int a = 0; a < 3; ++a) {
                const double next = sum[i * 3 + size_t(a)] / weight[i];
                moved = std::max(moved, std::abs(next - centre[i * 3 + size_t(a)]));
                centre[i * 3 + size_t(a)] = next;
            }
        }
        if (moved < kSettled) break;
    }

    std::vector<size_t> order(k);
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t x, size_t y) { return weight[x] > weight[y]; });
    std::vector<RGBQUAD> palette;
    palette.reserve(k);
    for (size_t i : order)
        palette.push_back(toQuad(&centre[i * 3]));
    return palette;
}

} // namespace ic
