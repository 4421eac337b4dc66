#include "libs/codec/core/PcdDecoder.h"

#include "libs/codec/CodecErrors.h"
#include "libs/imagecore/Dib.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace gifcore {

namespace {

constexpr size_t kIpiOffset = 0x800;
constexpr size_t kRotationOffset = 0xE02;

uint8_t clamp8(int32_t v) {
    return uint8_t(std::clamp(v, 0, 255));
}

// PhotoYCC to RGB in 16.16 fixed point: luma is scaled by 1.3584, chroma
// centred on 156 (C1) and 137 (C2).
struct YccTables {
    std::array<int32_t, 256> luma{}, c1ToBlue{}, c1ToGreen{}, c2ToRed{}, c2ToGreen{};
    YccTables() {
        for (int i = 0; i < 256; ++i) {
            luma[size_t(i)] = int32_t(std::lround(1.3584 * i * 65536));
            c1ToBlue[size_t(i)] = int32_t(std::lround(2.2179 * (i - 156) * 65536));
            c1ToGreen[size_t(i)] = int32_t(std::lround(-0.4302726 * (i - 156) * 65536));
            c2ToRed[size_t(i)] = int32_t(std::lround(1.8215 * (i - 137) * 65536));
            c2ToGreen[size_t(i)] = int32_t(std::lround(-0.9271435 * (i - 137) * 65536));
        }
    }
};

const YccTables& ycc() {
    static const YccTables tables;
    return tables;
}

// Where stored pixel (x, y) of a w x h picture lands after `turns` quarter
// turns counter-clockwise, in a picture of outW columns.
inline void place(int32_t turns, int32_t x, int32_t y, int32_t w, int32_t h, int32_t& ox,
                  int32_t& oy) {
    switch (turns) {
    case 1:
        ox = y, oy = w - 1 - x;
        break;
    case 2:
        ox = w - 1 - x, oy = h - 1 - y;
        break;
    case 3:
        ox = h - 1 - y, oy = x;
        break;
    default:
        ox = x, oy = y;
        break;
    }
}

} // namespace

bool isPcd(const uint8_t* data, size_t size) {
    return data && size >= kIpiOffset + 7 && std::memcmp(data + kIpiOffset, "PCD_IPI", 7) == 0;
}

int32_t pcdRotation(const uint8_t* data, size_t size) {
    return size > kRotationOffset ? data[kRotationOffset] & 3 : 0;
}

bool pcdHolds(size_t size, int32_t mode) {
    const PcdResolution& r = kPcdResolutions[mode];
    return size >= r.offset && size - r.offset >= size_t(r.width) * size_t(r.height) * 3 / 2;
}

int32_t decodePcd(const uint8_t* data, size_t size, const StillOptions& options,
                  const Progress& progress, zp::GlobalBlock& out) {
    if (options.pcdMode < 0 || options.pcdMode > 2) return PVE_PCD_MODE;
    if (!isPcd(data, size)) return PVE_PCD_NOT;
    // The planes have a fixed size: a short file holds no usable picture.
    if (!pcdHolds(size, options.pcdMode)) return PVE_PCD_SHORT;
    const PcdResolution& r = kPcdResolutions[options.pcdMode];
    const int32_t turns = pcdRotation(data, size);
    const bool sideways = turns & 1;
    zp::GlobalBlock dib(ic::createDib(sideways ? r.height : r.width, sideways ? r.width : r.height,
                                      24, nullptr, 0));
    if (!dib) return PVE_NO_MEMORY;
    {
        ic::MutableDib target(dib.get());
        if (!target.ok()) return PVE_NO_MEMORY;
        const YccTables& t = ycc();
        const size_t w = size_t(r.width);
        const uint8_t* pair = data + r.offset;
        RowProgress rows(progress, r.height, true);
        // Each pair of rows: two luma rows, then one row each of C1 and C2
        // at half width shared by the pair.
        for (int32_t y = 0; y < r.height; y += 2, pair += w * 3) {
            const uint8_t* c1 = pair + 2 * w;
            const uint8_t* c2 = c1 + w / 2;
            for (int32_t dy = 0; dy < 2; ++dy) {
                const uint8_t* luma = pair + size_t(dy) * w;
                for (int32_t x = 0; x < r.width; ++x) {
                    const int32_t l = t.luma[luma[x]];
                    const uint8_t a = c1[x >> 1], b = c2[x >> 1];
                    int32_t ox = 0, oy = 0;
                    place(turns, x, y + dy, r.width, r.height, ox, oy);
                    uint8_t* px = target.row(oy) + size_t(ox) * 3;
                    px[0] = clamp8((l + t.c1ToBlue[a] + 32768) >> 16);
                    px[1] = clamp8((l + t.c1ToGreen[a] + t.c2ToGreen[b] + 32768) >> 16);
                    px[2] = clamp8((l + t.c2ToRed[b] + 32768) >> 16);
                }
            }
            if (!rows.row(y)) return PVE_CANCELLED;
        }
    }
    out = std::move(dib);
    return PVE_OK;
}

} // namespace gifcore
