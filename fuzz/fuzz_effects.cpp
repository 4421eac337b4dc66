// libFuzzer target: arbitrary bytes taken as a packed DIB (header, colour
// table, rows), promoted to 24 bits as the effects binding does, then run
// through resizing, area copies, colour reduction, grey scaling, overlay
// and a transition, with parameters taken from the input's first bytes.
#include "libs/effects/core/ScaleEffects.h"
#include "libs/imagecore/Dib.h"
#include "libs/imagecore/DibConvert.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

// Parameters: small sizes keep each run fast; the checks are the same.
struct Knobs {
    uint8_t b[8] = {};
    explicit Knobs(const uint8_t* data, size_t size) {
        std::memcpy(b, data, size < sizeof b ? size : sizeof b);
    }
    int32_t size(int i) const { return b[i] % 48; } // 0 is a refused size
    int32_t signedByte(int i) const { return int32_t(int8_t(b[i])); }
};

void exercise(HGLOBAL dib, const Knobs& k) {
    zp::GlobalBlock(fx::scaleDib(dib, k.size(0), k.size(1), (k.b[2] & 1) ? 24 : 8));
    zp::GlobalBlock(fx::reduceColors(dib, k.b[3] % 20 + 1, k.b[4] & 3));
    zp::GlobalBlock(fx::scaleToGray(dib, k.b[5] % 9));
    zp::GlobalBlock(fx::overlayDib(dib, dib, k.signedByte(6), k.signedByte(7), -1, k.b[2] & 2));
    const HDC dc = CreateSurfaceDC(k.size(3) + 1, k.size(4) + 1);
    fx::transition(dc, dib, true, fx::Transition(k.b[5] % 5), k.signedByte(6), 0);
    DeleteObject(dc);
    // Last: it resizes the block in place.
    fx::imageCopy(dib, k.size(0), k.size(1), k.b[6] % 33, k.signedByte(7), k.signedByte(2),
                  k.signedByte(3), k.signedByte(4));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const Knobs knobs(data, size);
    zp::GlobalBlock raw(GlobalAlloc(GHND, size));
    if (!raw) return 0;
    {
        zp::GlobalLockGuard lock(raw.get());
        if (size) std::memcpy(lock.data(), data, size);
    }
    zp::GlobalBlock promoted;
    {
        zp::GlobalLockGuard lock(raw.get());
        ic::DibView view;
        const bool parsed = ic::parseDib(lock.data(), GlobalSize(raw.get()), view);
        // Keep runs short: large pictures add time, not coverage.
        if (parsed && uint64_t(view.width) * uint64_t(view.height) > (uint64_t(1) << 18)) return 0;
        if (parsed) promoted.adopt(ic::convertDibDepth(view, 24, false));
    }
    exercise(raw.get(), knobs); // the bytes as they are (any depth, or none)
    if (promoted) exercise(promoted.get(), knobs);
    return 0;
}
