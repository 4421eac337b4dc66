#include "imaging/animated/PVTDib.h"
#include "imaging/animated/DuplicateGlobalBlock.h"

#include "bindings/CodecBinding.h"
#include "platform/GlobalBlock.h"
#include "platform/GlobalMemory.h"

#include <algorithm>
#include <vector>

PVTDibCore::~PVTDibCore() {
    if (OwnsDib) FreeDibBlock(FDib);
    if (FPalette) DeleteObject(FPalette);
}

void PVTDibCore::FreeDibBlock(const void* dib) {
    if (dib) zp::GlobalBlock::freeFully(GlobalHandle(dib));
}

void PVTDibCore::ReplaceDib(BITMAPINFOHEADER* dib) {
    if (OwnsDib && FDib) {
        FreeDibBlock(FDib);
        if (!FKeepPalette && FPalette) {
            DeleteObject(FPalette);
            FPalette = 0;
        }
    }
    FDib = dib;
}

int32_t PVTDibCore::BitCount() const {
    return FDib ? FDib->biBitCount : 0;
}
int32_t PVTDibCore::Width() const {
    return FDib ? FDib->biWidth : 0;
}
int32_t PVTDibCore::Height() const {
    return FDib ? FDib->biHeight : 0;
}
int32_t PVTDibCore::RowBytes() const {
    return FDib ? ((FDib->biWidth + 3) / 4) * 4 : 0;
}

uint32_t PVTDibCore::ColorsForBits(int32_t bits) {
    switch (bits) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    default:
        return 0;
    }
}

uint32_t PVTDibCore::ColorCount() const {
    if (!FDib) return 0;
    return FDib->biClrUsed > 0 ? FDib->biClrUsed : ColorsForBits(FDib->biBitCount);
}

uint32_t PVTDibCore::BitsOffset() const {
    return FDib ? 40 + 4 * ColorCount() : 0;
}

uint8_t* PVTDibCore::Bits() const {
    return FDib ? reinterpret_cast<uint8_t*>(FDib) + BitsOffset() : nullptr;
}

RGBQUAD* PVTDibCore::ColorTable() const {
    return FDib ? reinterpret_cast<RGBQUAD*>(reinterpret_cast<uint8_t*>(FDib) + 40) : nullptr;
}

HPALETTE PVTDibCore::GetPalette() {
    if (!FPalette && FDib) FPalette = MakePalette(FDib);
    return FPalette;
}

void PVTDibCore::SetPalette(HPALETTE palette) {
    if (FDib && palette) {
        const uint32_t available = GetPaletteEntries(palette, 0, 0, nullptr);
        const uint32_t n = std::min(ColorCount(), available);
        std::vector<PALETTEENTRY> entries(n);
        if (n) GetPaletteEntries(palette, 0, n, entries.data());
        RGBQUAD* table = ColorTable();
        for (uint32_t i = 0; i < n; ++i) {
            table[i].rgbRed = entries[i].peRed;
            table[i].rgbGreen = entries[i].peGreen;
            table[i].rgbBlue = entries[i].peBlue;
        }
    }
    FPalette = palette;
}

HPALETTE PVTDibCore::MakePalette(const BITMAPINFOHEADER* dib) {
    if (!dib) return 0;
    const uint32_t n = dib->biClrUsed ? dib->biClrUsed : ColorsForBits(dib->biBitCount);
    if (n < 3 || n > 256) return 0;
    // The screen is true colour: the system palette never stands in for the table.
    std::vector<uint8_t> storage(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY), 0);
    auto* log = reinterpret_cast<LOGPALETTE*>(storage.data());
    log->palVersion = 0x300;
    log->palNumEntries = uint16_t(n);
    const auto* table =
        reinterpret_cast<const RGBQUAD*>(reinterpret_cast<const uint8_t*>(dib) + 40);
    for (uint32_t i = 0; i < n; ++i)
        log->palPalEntry[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
    return CreatePalette(log);
}

HGLOBAL PVDibCls::PVTDib::CopyDib() const {
    return FDib ? DuplicateGlobalBlock(GlobalHandle(FDib)) : 0;
}

bool PVWebImg::PVTDib::CreateDib(HPALETTE palette, int32_t width, int32_t bits, int32_t height) {
    uint32_t entries = 0;
    switch (bits) {
    case 24:
        entries = 0;
        break;
    case 8:
        entries = 256;
        break;
    case 4:
        entries = 16;
        break;
    default:
        return false;
    }
    if (width < 1 || height < 1 || width > kMaxBitmapSide || height > kMaxBitmapSide) return false;
    const uint64_t rowSize = StrideFor(width, bits);
    const uint64_t imageSize = uint64_t(height) * rowSize;
    if (imageSize > uint64_t(1) << 30) return false; // the limit is on memory
    const uint64_t headerPart = 40 + 4 * uint64_t(entries);
    zp::GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, imageSize + headerPart));
    if (!block) return false;
    auto* h = static_cast<BITMAPINFOHEADER*>(GlobalLock(block.get()));
    h->biSize = 40;
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = uint16_t(bits);
    h->biCompression = BI_RGB;
    h->biSizeImage = uint32_t(imageSize);
    h->biXPelsPerMeter = 2953;
    h->biYPelsPerMeter = 2953;
    h->biClrUsed = entries;
    h->biClrImportant = entries;
    if (palette && entries) {
        std::vector<PALETTEENTRY> colours(entries);
        const uint32_t got = GetPaletteEntries(palette, 0, entries, colours.data());
        auto* table = reinterpret_cast<RGBQUAD*>(reinterpret_cast<uint8_t*>(h) + 40);
        for (uint32_t i = 0; i < got; ++i)
            table[i] = RGBQUAD{colours[i].peBlue, colours[i].peGreen, colours[i].peRed, 0};
    }
    GlobalUnlock(block.get());
    SetDib(GlobalLock(block.release()));
    return true;
}

bool PVWebImg::PVTDib::ToBitmap(zp::TBitmap& bitmap) const {
    if (!FDib) return false;
    HBITMAP handle = 0;
    HPALETTE palette = 0;
    if (!DLL96V1::DibtoDdb(FDib, handle, palette)) return false;
    bitmap.setHandle(handle);
    bitmap.setPalette(palette);
    return true;
}

bool PVWebImg::PVTDib::FromBitmap(const zp::TBitmap& bitmap, int32_t bits) {
    if (bitmap.empty()) return false;
    SetDib(nullptr);
    HGLOBAL dib = 0;
    // A failed conversion leaves no picture and says so (not "true" with nothing held).
    if (!DLL96V1::DdbtoDib(bitmap.handle(), bitmap.palette(), bits, 0, nullptr, 1, 0, dib))
        return false;
    SetDib(GlobalLock(dib));
    return true;
}
