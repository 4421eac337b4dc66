#include "libs/tiff/core/TiffOrientation.h"

#include "libs/imagecore/Dib.h"

#include <cstring>

namespace tifcore {

namespace {

// Stored position of upright pixel (X, Y): x = x0 + X * xX + Y * xY, and
// the same for y. W and H are the stored sides.
struct Mapping {
    int64_t x0, xX, xY, y0, yX, yY;
};

Mapping mappingFor(uint16_t orientation, int64_t w, int64_t h) {
    switch (orientation) {
    case ORIENTATION_TOPRIGHT: // mirrored left to right
        return {w - 1, -1, 0, 0, 0, 1};
    case ORIENTATION_BOTRIGHT: // turned half round
        return {w - 1, -1, 0, h - 1, 0, -1};
    case ORIENTATION_BOTLEFT: // mirrored top to bottom
        return {0, 1, 0, h - 1, 0, -1};
    case ORIENTATION_LEFTTOP: // transposed
        return {0, 0, 1, 0, 1, 0};
    case ORIENTATION_RIGHTTOP: // stored a quarter turn anticlockwise
        return {0, 0, 1, h - 1, -1, 0};
    case ORIENTATION_RIGHTBOT: // transposed across the other diagonal
        return {w - 1, 0, -1, h - 1, -1, 0};
    case ORIENTATION_LEFTBOT: // stored a quarter turn clockwise
        return {w - 1, 0, -1, 0, 1, 0};
    default:
        return {0, 1, 0, 0, 0, 1};
    }
}

} // namespace

uint16_t orientationOf(TIFF* tif) {
    uint16_t o = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ORIENTATION, &o);
    return o >= ORIENTATION_TOPLEFT && o <= ORIENTATION_LEFTBOT ? o : ORIENTATION_TOPLEFT;
}

bool orientUpright(zp::GlobalBlock& dib, uint16_t orientation) {
    if (orientation <= ORIENTATION_TOPLEFT || orientation > ORIENTATION_LEFTBOT) return true;
    zp::GlobalBlock upright;
    {
        zp::GlobalLockGuard lock(dib.get());
        ic::DibView in;
        if (!lock || !ic::parseDib(lock.data(), dib.size(), in)) return false;
        const bool swap = swapsSides(orientation);
        const int32_t w = swap ? in.height : in.width, h = swap ? in.width : in.height;
        upright.adopt(ic::createDib(w, h, in.bpp, in.colors, in.colorCount));
        if (!upright) return false;
        ic::MutableDib out(upright.get());
        if (!out.ok()) return false;
        const Mapping m = mappingFor(orientation, in.width, in.height);
        for (int32_t y = 0; y < h; ++y) {
            int64_t sx = m.x0 + y * m.xY, sy = m.y0 + y * m.yY;
            uint8_t* row = out.row(y);
            for (int32_t x = 0; x < w; ++x, sx += m.xX, sy += m.yX) {
                if (in.bpp == 24)
                    std::memcpy(row + size_t(x) * 3, in.row(int32_t(sy)) + size_t(sx) * 3, 3);
                else if (in.bpp == 8)
                    row[x] = in.row(int32_t(sy))[sx];
                else
                    out.setIndex(x, y, in.index(int32_t(sx), int32_t(sy)));
            }
        }
    } // the stored picture is unlocked before it is replaced
    dib = std::move(upright);
    return true;
}

} // namespace tifcore
