#include "platform/Gdi.h"
#include "platform/HandleTable.h"

#include <atomic>
#include <new>
#include <vector>

namespace {

struct Palette : zp::HandleObject {
    std::vector<PALETTEENTRY> entries;
};

struct DeviceBitmap : zp::HandleObject {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

struct SurfaceDC : zp::HandleObject {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
    SurfacePresenter present = nullptr;
    void* user = nullptr;
};

std::atomic<int32_t> screenBits{24};
std::atomic<COLORREF> sysColors[32] = {};
std::atomic<bool> sysColorsSet[32] = {};

Palette* findPalette(HPALETTE h) {
    return static_cast<Palette*>(zp::HandleTable::instance().find(h, zp::HandleKind::Palette));
}
DeviceBitmap* findBitmap(HBITMAP h) {
    return static_cast<DeviceBitmap*>(zp::HandleTable::instance().find(h, zp::HandleKind::Bitmap));
}

SurfaceDC* findDC(HDC h) {
    return static_cast<SurfaceDC*>(
        zp::HandleTable::instance().find(h, zp::HandleKind::DeviceContext));
}

} // namespace

HPALETTE CreatePalette(const LOGPALETTE* log) {
    if (!log || log->palNumEntries > 4096) return 0;
    auto palette = std::make_unique<Palette>();
    palette->entries.assign(log->palPalEntry, log->palPalEntry + log->palNumEntries);
    return zp::HandleTable::instance().add(zp::HandleKind::Palette, std::move(palette));
}

uint32_t GetPaletteEntries(HPALETTE h, uint32_t start, uint32_t count, PALETTEENTRY* entries) {
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    Palette* p = findPalette(h);
    if (!p) return 0;
    const uint32_t n = uint32_t(p->entries.size());
    if (!entries) return n;
    if (start >= n) return 0;
    uint32_t copied = 0;
    for (uint32_t i = start; i < n && copied < count; ++i, ++copied)
        entries[copied] = p->entries[i];
    return copied;
}

uint32_t SetPaletteEntries(HPALETTE h, uint32_t start, uint32_t count,
                           const PALETTEENTRY* entries) {
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    Palette* p = findPalette(h);
    if (!p || !entries) return 0;
    const uint32_t n = uint32_t(p->entries.size());
    uint32_t copied = 0;
    for (uint32_t i = start; i < n && copied < count; ++i, ++copied)
        p->entries[i] = entries[copied];
    return copied;
}

int32_t AnimatePalette(HPALETTE h, uint32_t start, uint32_t count, const PALETTEENTRY* entries) {
    return SetPaletteEntries(h, start, count, entries) == count && count > 0 ? 1 : 0;
}

uint32_t GetNearestPaletteIndex(HPALETTE h, COLORREF colour) {
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    Palette* p = findPalette(h);
    if (!p || p->entries.empty()) return CLR_INVALID;
    const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    uint32_t best = 0;
    int bestDistance = 1 << 30;
    for (uint32_t i = 0; i < p->entries.size(); ++i) {
        const auto& e = p->entries[i];
        const int dr = e.peRed - r, dg = e.peGreen - g, db = e.peBlue - b;
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

HBITMAP CreateDeviceBitmap(int32_t width, int32_t height) {
    if (width < 1 || height < 1 || width > kMaxBitmapSide || height > kMaxBitmapSide) return 0;
    if (uint64_t(width) * uint64_t(height) > kMaxBitmapPixels) return 0;
    auto bitmap = std::make_unique<DeviceBitmap>();
    bitmap->width = width;
    bitmap->height = height;
    try {
        bitmap->pixels.assign(size_t(width) * size_t(height), 0);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return zp::HandleTable::instance().add(zp::HandleKind::Bitmap, std::move(bitmap));
}

int32_t GetDeviceBitmapSize(HBITMAP h, int32_t* width, int32_t* height) {
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    DeviceBitmap* b = findBitmap(h);
    if (!b) return 0;
    if (width) *width = b->width;
    if (height) *height = b->height;
    return 1;
}

uint32_t* DeviceBitmapBits(HBITMAP h) {
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    DeviceBitmap* b = findBitmap(h);
    return b ? b->pixels.data() : nullptr;
}

HDC CreateSurfaceDC(int32_t width, int32_t height) {
    if (width < 1 || height < 1 || width > kMaxBitmapSide || height > kMaxBitmapSide) return 0;
    if (uint64_t(width) * uint64_t(height) > kMaxBitmapPixels) return 0;
    auto dc = std::make_unique<SurfaceDC>();
    dc->width = width;
    dc->height = height;
    try {
        dc->pixels.assign(size_t(width) * size_t(height), 0);
    } catch (const std::bad_alloc&) {
        return 0;
    }
    return zp::HandleTable::instance().add(zp::HandleKind::DeviceContext, std::move(dc));
}

uint32_t* SurfaceDCBits(HDC h) {
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    SurfaceDC* dc = findDC(h);
    return dc ? dc->pixels.data() : nullptr;
}

int32_t GetSurfaceDCSize(HDC h, int32_t* width, int32_t* height) {
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    SurfaceDC* dc = findDC(h);
    if (!dc) return 0;
    if (width) *width = dc->width;
    if (height) *height = dc->height;
    return 1;
}

int32_t SetSurfaceDCPresenter(HDC h, SurfacePresenter present, void* user) {
    auto& table = zp::HandleTable::instance();
    std::lock_guard lock(table.mutex());
    SurfaceDC* dc = findDC(h);
    if (!dc) return 0;
    dc->present = present;
    dc->user = user;
    return 1;
}

int32_t PresentSurfaceDC(HDC h) {
    SurfacePresenter present = nullptr;
    void* user = nullptr;
    {
        auto& table = zp::HandleTable::instance();
        std::lock_guard lock(table.mutex());
        SurfaceDC* dc = findDC(h);
        if (!dc) return 0;
        present = dc->present;
        user = dc->user;
    }
    // Unlocked: the presenter repaints and runs events, which may use handles.
    if (present) present(user);
    return 1;
}

int32_t DeleteObject(uintptr_t object) {
    auto& table = zp::HandleTable::instance();
    if (table.remove(object, zp::HandleKind::Palette)) return 1;
    if (table.remove(object, zp::HandleKind::Bitmap)) return 1;
    if (table.remove(object, zp::HandleKind::DeviceContext)) return 1;
    return 0;
}

uint64_t GdiObjectCount() {
    auto& table = zp::HandleTable::instance();
    return table.count(zp::HandleKind::Palette) + table.count(zp::HandleKind::Bitmap) +
           table.count(zp::HandleKind::DeviceContext);
}

int32_t ScreenBitsPerPixel() {
    return screenBits.load();
}
void SetScreenBitsPerPixel(int32_t bits) {
    screenBits.store(bits);
}
int32_t SystemPaletteSize() {
    return 0;
}

COLORREF GetSysColor(int32_t index) {
    if (index < 0 || index >= 32) return 0;
    if (sysColorsSet[index].load()) return sysColors[index].load();
    switch (index) {
    case COLOR_WINDOW:
        return RGB(255, 255, 255);
    case COLOR_BTNFACE:
        return RGB(240, 240, 240);
    case COLOR_ACTIVECAPTION:
        return RGB(0, 0, 128);
    case COLOR_INACTIVECAPTION:
        return RGB(128, 128, 128);
    case COLOR_CAPTIONTEXT:
        return RGB(255, 255, 255);
    case COLOR_INACTIVECAPTIONTEXT:
        return RGB(192, 192, 192);
    default:
        return 0;
    }
}

void SetSysColor(int32_t index, COLORREF colour) {
    if (index < 0 || index >= 32) return;
    sysColors[index].store(colour);
    sysColorsSet[index].store(true);
}
