#include "libs/effects/core/EffectJob.h"

#include <algorithm>

namespace fx {

bool normalizeArea(int32_t width, int32_t height, int32_t left, int32_t top, int32_t right,
                   int32_t bottom, Rect& out) {
    if (right == 0) right = width;
    if (bottom == 0) bottom = height;
    if (left < 0 || top < 0 || right > width || bottom > height || left >= right || top >= bottom)
        return false;
    out = Rect{left, top, right, bottom};
    return true;
}

EffectJob::EffectJob(uintptr_t dib, bool need24, ic::ProgressFn cb, void* user)
    : handle_(dib), progress_(cb, user) {
    void* p = GlobalLock(handle_);
    if (!p) return;
    locked_ = true;
    // Effects work on true-colour copies (up to four bytes a pixel): a legal
    // 1-bit picture of 65535 x 65535 would make those 16 GiB, so a picture
    // whose copy would pass the pixel memory limit is refused.
    ok_ = ic::parseDib(p, GlobalSize(handle_), in_) && (!need24 || in_.bpp == 24) &&
          ic::fitsLimits(uint32_t(in_.width), uint32_t(in_.height), 32);
    area_ = Rect{0, 0, in_.width, in_.height};
}

EffectJob::~EffectJob() {
    delete outView_;
    if (locked_) GlobalUnlock(handle_);
}

bool EffectJob::setArea(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    return ok_ && normalizeArea(in_.width, in_.height, left, top, right, bottom, area_);
}

ic::MutableDib* EffectJob::out() {
    if (outView_) return outView_;
    if (!ok_) return nullptr;
    const uint64_t size = GlobalSize(handle_);
    outBlock_ = zp::GlobalBlock::allocate(size);
    if (!outBlock_) return nullptr;
    {
        zp::GlobalLockGuard to(outBlock_.get());
        std::copy_n(reinterpret_cast<const uint8_t*>(in_.header), size, to.as<uint8_t>());
    }
    outView_ = new ic::MutableDib(outBlock_.get());
    if (!outView_->ok()) {
        delete outView_;
        outView_ = nullptr;
        outBlock_.reset();
    }
    return outView_;
}

Bgr EffectJob::at(int32_t x, int32_t y) const {
    x = std::clamp(x, 0, in_.width - 1);
    y = std::clamp(y, 0, in_.height - 1);
    const uint8_t* p = in_.row(y) + size_t(x) * 3;
    return Bgr{p[0], p[1], p[2]};
}

uintptr_t EffectJob::finish() {
    delete outView_;
    outView_ = nullptr;
    return outBlock_.release();
}

} // namespace fx
