#pragma once
// A packed DIB in a global block, with its geometry, colour table and a
// cached GDI palette. Two flavours share the core and differ only in what
// SetDib does with the cached palette and in their extra operations.
#include "platform/TBitmap.h"
#include "platform/WinTypes.h"
#include <cstdint>

class PVTDibCore {
  public:
    PVTDibCore(const PVTDibCore&) = delete;
    PVTDibCore& operator=(const PVTDibCore&) = delete;
    ~PVTDibCore();

    // The picture: a pointer into a locked global block, nullptr = none.
    BITMAPINFOHEADER* Dib() const { return FDib; }
    // When set (the default) the object frees the DIB's block on replace and destroy.
    bool OwnsDib = true;

    int32_t BitCount() const;
    int32_t Width() const;
    int32_t Height() const;
    // Smallest multiple of 4 not below the width: the row size of an 8-bit picture.
    int32_t RowBytes() const;
    // biClrUsed when above 0, else 2^bits; 0 for 24 bits.
    uint32_t ColorCount() const;
    // 40 + 4 * ColorCount: where the pixel rows start; 0 without DIB.
    uint32_t BitsOffset() const;
    uint8_t* Bits() const;
    RGBQUAD* ColorTable() const;
    static uint32_t ColorsForBits(int32_t bits);
    // Bytes of one stored row at any depth: width x bits, padded to 4 bytes.
    static uint64_t StrideFor(int32_t width, int32_t bits) {
        return ((uint64_t(width) * uint64_t(bits) + 31) / 32) * 4;
    }

    HPALETTE GetPalette();
    // Copies the palette's colours into the colour table; the palette
    // becomes the cached one (the previous one is not deleted).
    void SetPalette(HPALETTE palette);
    // A palette of the DIB's colour table; 0 for fewer than 3 colours.
    static HPALETTE MakePalette(const BITMAPINFOHEADER* dib);

  protected:
    explicit PVTDibCore(bool keepPaletteOnSetDib) : FKeepPalette(keepPaletteOnSetDib) {}
    void ReplaceDib(BITMAPINFOHEADER* dib);
    static void FreeDibBlock(const void* dib);

    HPALETTE FPalette = 0;
    BITMAPINFOHEADER* FDib = nullptr;

  private:
    bool FKeepPalette;
};

namespace PVDibCls {
// The flavour of the effects dialog: a new picture drops the cached palette.
class PVTDib : public PVTDibCore {
  public:
    PVTDib() : PVTDibCore(false) {}
    void SetDib(void* lockedDib) { ReplaceDib(static_cast<BITMAPINFOHEADER*>(lockedDib)); }
    // A new movable block with a copy of this DIB's block; 0 without DIB.
    HGLOBAL CopyDib() const;
};
} // namespace PVDibCls

namespace PVWebImg {
// The flavour of the animated-image component and the editor: the cached
// palette survives SetDib, so a palette fetched earlier stays valid.
class PVTDib : public PVTDibCore {
  public:
    PVTDib() : PVTDibCore(true) {}
    void SetDib(void* lockedDib) { ReplaceDib(static_cast<BITMAPINFOHEADER*>(lockedDib)); }
    // A blank picture of 24, 8 or 4 bits; false for other depths or no memory.
    bool CreateDib(HPALETTE palette, int32_t width, int32_t bits, int32_t height);
    bool ToBitmap(zp::TBitmap& bitmap) const;
    bool FromBitmap(const zp::TBitmap& bitmap, int32_t bits);
};
} // namespace PVWebImg
