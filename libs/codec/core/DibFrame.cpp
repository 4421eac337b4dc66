#include "libs/codec/core/DibFrame.h"

#include "libs/codec/CodecErrors.h"
#include "libs/imagecore/DibConvert.h"

#include <algorithm>
#include <cstring>

namespace gifenc {

DibFrame::~DibFrame() {
    release();
}

void DibFrame::release() {
    if (locked_) GlobalUnlock(locked_);
    locked_ = 0;
    reduced_.reset();
    view_ = {};
    rgb_.clear();
}

int32_t DibFrame::load(HGLOBAL dib) {
    release();
    if (!dib) return PVE_NO_FRAME;
    void* data = GlobalLock(dib);
    if (!data) return PVE_BAD_DIB;
    locked_ = dib;
    const uint64_t size = GlobalSize(dib);
    // Oversized pictures get their own answer before the general check.
    if (size >= sizeof(BITMAPINFOHEADER)) {
        BITMAPINFOHEADER h;
        std::memcpy(&h, data, sizeof h);
        const int64_t height = h.biHeight < 0 ? -int64_t(h.biHeight) : int64_t(h.biHeight);
        const uint32_t bits = std::clamp<uint32_t>(h.biBitCount, 1, 24);
        if (h.biWidth > 0 && !ic::fitsLimits(uint64_t(h.biWidth), uint64_t(height), bits))
            return PVE_TOO_LARGE;
    }
    if (!ic::parseDib(data, size, view_)) return PVE_BAD_DIB;
    if (view_.bpp == 24) {
        reduced_.adopt(ic::convertDibDepth(view_, 8, true));
        if (!reduced_) return PVE_NO_MEMORY;
        // The caller's DIB is done with; the rest reads our copy.
        GlobalUnlock(locked_);
        locked_ = 0;
        void* copy = GlobalLock(reduced_.get());
        if (!copy) return PVE_NO_MEMORY;
        locked_ = reduced_.get();
        if (!ic::parseDib(copy, GlobalSize(locked_), view_) || view_.bpp == 24) return PVE_BAD_DIB;
    }
    const int colors = std::max(int(view_.colorCount), maxIndex() + 1);
    rgb_.assign(size_t(colors) * 3, 0);
    for (uint32_t i = 0; i < view_.colorCount; ++i) {
        rgb_[i * 3 + 0] = view_.colors[i].rgbRed;
        rgb_[i * 3 + 1] = view_.colors[i].rgbGreen;
        rgb_[i * 3 + 2] = view_.colors[i].rgbBlue;
    }
    if (view_.bpp != 8) unpacked_.resize(size_t(view_.width));
    return PVE_OK;
}

int DibFrame::maxIndex() const {
    int top = 0;
    if (view_.bpp == 1) return 1;
    for (int y = 0; y < view_.height && top < (1 << view_.bpp) - 1; ++y) {
        const uint8_t* r = view_.row(y);
        if (view_.bpp == 8) {
            for (int x = 0; x < view_.width; ++x)
                top = std::max(top, int(r[x]));
        } else {
            for (int x = 0; x < view_.width; ++x)
                top = std::max(top, int((x & 1) ? (r[x >> 1] & 0x0F) : (r[x >> 1] >> 4)));
        }
    }
    return top;
}

bool DibFrame::sameTable(const std::vector<uint8_t>& otherRgb) const {
    const int bits = tableBits(colors());
    if (bits != tableBits(int(otherRgb.size() / 3))) return false;
    // Compare as stored: entries beyond either table are black.
    const size_t n = size_t(3) << bits;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t a = i < rgb_.size() ? rgb_[i] : 0;
        const uint8_t b = i < otherRgb.size() ? otherRgb[i] : 0;
        if (a != b) return false;
    }
    return true;
}

const uint8_t* DibFrame::row(int y) {
    const uint8_t* r = view_.row(y);
    if (view_.bpp == 8) return r;
    uint8_t* out = unpacked_.data();
    const int w = view_.width;
    if (view_.bpp == 4) {
        for (int x = 0; x + 1 < w; x += 2) {
            out[x] = r[x >> 1] >> 4;
            out[x + 1] = r[x >> 1] & 0x0F;
        }
        if (w & 1) out[w - 1] = r[w >> 1] >> 4;
    } else {
        for (int x = 0; x < w; ++x)
            out[x] = (r[x >> 3] >> (7 - (x & 7))) & 1;
    }
    return out;
}

} // namespace gifenc
