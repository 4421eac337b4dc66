#pragma once
// A device bitmap with its palette, as the program's components hold one:
// the owner of both handles. Setting a handle frees the one held before.
#include "platform/Gdi.h"
#include <utility>

namespace zp {

class TBitmap {
  public:
    TBitmap() = default;
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;
    ~TBitmap() {
        setHandle(0);
        setPalette(0);
    }

    HBITMAP handle() const { return handle_; }
    HPALETTE palette() const { return palette_; }
    void setHandle(HBITMAP h) {
        if (handle_ && handle_ != h) DeleteObject(handle_);
        handle_ = h;
    }
    void setPalette(HPALETTE p) {
        if (palette_ && palette_ != p) DeleteObject(palette_);
        palette_ = p;
    }
    HBITMAP releaseHandle() { return std::exchange(handle_, 0); }
    HPALETTE releasePalette() { return std::exchange(palette_, 0); }
    bool empty() const { return handle_ == 0; }
    int32_t width() const {
        int32_t w = 0, h = 0;
        GetDeviceBitmapSize(handle_, &w, &h);
        return w;
    }
    int32_t height() const {
        int32_t w = 0, h = 0;
        GetDeviceBitmapSize(handle_, &w, &h);
        return h;
    }
    uint32_t* bits() const { return DeviceBitmapBits(handle_); }

  private:
    HBITMAP handle_ = 0;
    HPALETTE palette_ = 0;
};

} // namespace zp
