#include "imaging/animated/SharedTableOrder.h"

#include <algorithm>
#include <array>
#include <numeric>

namespace PVWebImg {

PVTableFit FitFrame(const PVTableUse& frame, const std::vector<uint8_t>& order) {
    std::bitset<256> at;
    int top = 0;
    for (size_t i = 0; i < order.size(); ++i)
        if (frame.shown[i]) {
            at[order[i]] = true;
            top = std::max(top, int(order[i]));
        }
    PVTableFit fit;
    if (frame.transparent) {
        fit.transparent = 0;
        while (fit.transparent < 255 && at[size_t(fit.transparent)])
            ++fit.transparent;
        top = std::max(top, fit.transparent);
    }
    while (fit.bits < 8 && (1 << fit.bits) <= top)
        ++fit.bits;
    return fit;
}

uint64_t CodeBits(int bits, uint64_t codes) {
    const uint32_t first = (1u << bits) + 2;
    uint32_t next = first, width = uint32_t(bits) + 1;
    uint64_t total = 0;
    while (codes > 0) {
        // The decoder widens after the code sent while the next entry is
        // 2^width, so that one still goes at this width.
        const uint32_t last = 1u << width;
        const uint64_t take = std::min<uint64_t>(codes, last - next + 1);
        total += take * width;
        codes -= take;
        next += uint32_t(take);
        if (next <= last) break;
        if (width < 12) {
            ++width;
        } else { // the table is full: a clear code and a fresh table
            total += 12;
            next = first;
            width = uint32_t(bits) + 1;
        }
    }
    return total;
}

uint64_t CodesIn(int bits, uint64_t streamBits) {
    uint64_t low = 0, high = streamBits / uint64_t(bits + 1) + 1;
    while (low + 1 < high) {
        const uint64_t mid = low + (high - low) / 2;
        (CodeBits(bits, mid) <= streamBits ? low : high) = mid;
    }
    return low;
}

std::vector<uint8_t> OrderSharedTable(const std::vector<PVTableUse>& frames, int entries,
                                      int bits) {
    const int top = std::clamp(bits, 2, 8);
    const size_t n = size_t(std::clamp(entries, 0, 256));
    std::vector<uint8_t> own(n);
    std::iota(own.begin(), own.end(), 0);
    if (top <= 2 || frames.empty()) return own;

    // What each frame saves when its codes start at b + 1 bits.
    std::vector<std::array<uint64_t, 9>> saves(frames.size());
    for (size_t f = 0; f < frames.size(); ++f) {
        const uint64_t full = CodeBits(top, frames[f].codes);
        for (int b = 2; b <= 8; ++b)
            saves[f][size_t(b)] = b < top ? full - CodeBits(b, frames[f].codes) : 0;
    }
    const auto saved = [&](const std::vector<uint8_t>& order) {
        uint64_t sum = 0;
        for (size_t f = 0; f < frames.size(); ++f)
            sum += saves[f][size_t(FitFrame(frames[f], order).bits)];
        return sum;
    };
    std::vector<int> users(n);
    for (const PVTableUse& frame : frames)
        for (size_t i = 0; i < n; ++i)
            users[i] += frame.shown[i];

    // From the widest start down: the entries below 2^k, chosen among those
    // below 2^(k+1), by two rules (each keeps its own choices): frames join
    // by what they save per entry they add, or entries leave by what the
    // frames that show them would save.
    std::array<std::array<std::bitset<256>, 9>, 2> below;
    for (auto& rule : below)
        for (size_t i = 0; i < n; ++i)
            rule[size_t(top)][i] = true;
    for (size_t rule = 0; rule < 2; ++rule) {
        std::vector<char> fits(frames.size(), 1);
        for (int k = top - 1; k >= 2; --k) {
            const size_t room = size_t(1) << k;
            const auto marginal = [&](size_t f) {
                return saves[f][size_t(k)] - saves[f][size_t(k) + 1];
            };
            std::vector<char> in(frames.size(), 0);
            const auto possible = [&](size_t f) {
                return fits[f] && frames[f].shown.count() + (frames[f].transparent ? 1 : 0) <= room;
            };
            std::bitset<256> chosen;
            if (rule == 0) {
                for (;;) {
                    const size_t have = chosen.count();
                    size_t best = SIZE_MAX;
                    double bestRatio = 0;
                    for (size_t f = 0; f < frames.size(); ++f) {
                        if (in[f] || !possible(f)) continue;
                        const size_t with = (chosen | frames[f].shown).count();
                        if (with > room) continue;
                        if (with == have) {
                            in[f] = 1; // costs no entry
                            continue;
                        }
                        const double ratio = double(marginal(f)) / double(with - have);
                        if (ratio > bestRatio) {
                            bestRatio = ratio;
                            best = f;
                        }
                    }
                    if (best == SIZE_MAX) break;
                    chosen |= frames[best].shown;
                    in[best] = 1;
                }
            } else {
                chosen = below[rule][size_t(k) + 1];
                std::array<uint64_t, 256> loss{};
                for (size_t f = 0; f < frames.size(); ++f)
                    if ((in[f] = possible(f)))
                        for (size_t i = 0; i < n; ++i)
                            if (frames[f].shown[i]) loss[i] += marginal(f);
                while (chosen.count() > room) {
                    size_t worst = SIZE_MAX;
                    for (size_t i = 0; i < n; ++i)
                        if (chosen[i] && (worst == SIZE_MAX || loss[i] < loss[worst] ||
                                          (loss[i] == loss[worst] && users[i] < users[worst])))
                            worst = i;
                    chosen[worst] = false;
                    for (size_t f = 0; f < frames.size(); ++f)
                        if (in[f] && frames[f].shown[worst]) {
                            in[f] = 0;
                            for (size_t i = 0; i < n; ++i)
                                if (frames[f].shown[i]) loss[i] -= marginal(f);
                        }
                }
            }
            below[rule][size_t(k)] = chosen;
            fits.swap(in);
        }
    }
    // Positions: the entries below 4 first, then those below 8, ...; within
    // each group the most used first.
    std::vector<uint8_t> byUse(own);
    std::stable_sort(byUse.begin(), byUse.end(),
                     [&](uint8_t a, uint8_t b) { return users[a] > users[b]; });
    std::vector<uint8_t> best = own;
    uint64_t bestSaved = saved(own);
    for (const auto& rule : below) {
        std::vector<uint8_t> order(n);
        std::bitset<256> placed;
        size_t next = 0;
        for (int k = 2; k <= top; ++k)
            for (const uint8_t i : byUse)
                if (rule[size_t(k)][i] && !placed[i]) {
                    placed[i] = true;
                    order[i] = uint8_t(next++);
                }
        if (const uint64_t s = saved(order); s > bestSaved) {
            bestSaved = s;
            best = order;
        }
    }
    return best;
}

} // namespace PVWebImg
