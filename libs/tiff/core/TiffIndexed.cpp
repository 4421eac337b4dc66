#include "libs/tiff/core/TiffIndexed.h"

#include "libs/imagecore/Dib.h"
#include "libs/tiff/core/TiffErrors.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace tifcore {

namespace {

// Largest strip or tile buffer we accept from a file's claims.
constexpr tmsize_t kMaxChunkBytes = tmsize_t(256) << 20;

// The colour table: the file's colour map, or a grey ramp (white first for
// MinIsWhite).
bool makeTable(TIFF* tif, uint16_t photometric, uint16_t bps, std::vector<RGBQUAD>& table) {
    const uint32_t n = bps == 16 ? 256u : 1u << bps;
    table.assign(n, RGBQUAD{0, 0, 0, 0});
    if (photometric == PHOTOMETRIC_PALETTE) {
        uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
        if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b) || !r || !g || !b) return false;
        // Some writers store 8-bit values in the 16-bit map.
        bool eightBit = true;
        for (uint32_t i = 0; i < n && eightBit; ++i)
            eightBit = r[i] < 256 && g[i] < 256 && b[i] < 256;
        const int shift = eightBit ? 0 : 8;
        for (uint32_t i = 0; i < n; ++i)
            table[i] =
                RGBQUAD{uint8_t(b[i] >> shift), uint8_t(g[i] >> shift), uint8_t(r[i] >> shift), 0};
        return true;
    }
    for (uint32_t i = 0; i < n; ++i) {
        uint8_t v = uint8_t(i * 255 / (n - 1));
        if (photometric == PHOTOMETRIC_MINISWHITE) v = uint8_t(255 - v);
        table[i] = RGBQUAD{v, v, v, 0};
    }
    return true;
}

// Copies `pixels` samples starting at sample 0 of src into the DIB row at
// pixel x (x a multiple of 8 for sub-byte depths, which TIFF tile widths are).
void putSamples(const uint8_t* src, uint32_t pixels, uint16_t bps, int32_t dibBits, uint8_t* row,
                uint32_t x) {
    if (bps == uint16_t(dibBits)) {
        std::memcpy(row + size_t(x) * bps / 8, src, (size_t(pixels) * bps + 7) / 8);
    } else if (bps == 2) { // two bits into a nibble
        for (uint32_t i = 0; i < pixels; ++i) {
            const uint8_t v = uint8_t((src[i / 4] >> (6 - 2 * (i % 4))) & 3);
            const uint32_t p = x + i;
            uint8_t& d = row[p / 2];
            d = p % 2 ? uint8_t((d & 0xF0) | v) : uint8_t((d & 0x0F) | (v << 4));
        }
    } else { // 16 bits (native order after libtiff's swab): the high byte
        const auto* s16 = reinterpret_cast<const uint16_t*>(src);
        for (uint32_t i = 0; i < pixels; ++i) {
            uint16_t v;
            std::memcpy(&v, s16 + i, 2);
            row[x + i] = uint8_t(v >> 8);
        }
    }
}

int32_t readStrips(TIFF* tif, uint16_t bps, int32_t dibBits, uint32_t w, uint32_t h,
                   const TiffProgress& progress, ic::MutableDib& dib) {
    uint32_t rowsPerStrip = h;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    rowsPerStrip = std::clamp<uint32_t>(rowsPerStrip, 1, h);
    const tmsize_t stripSize = TIFFStripSize(tif);
    const tmsize_t lineSize = TIFFScanlineSize(tif);
    if (stripSize <= 0 || stripSize > kMaxChunkBytes || lineSize <= 0) return TE_CORRUPT;
    if (uint64_t(lineSize) * 8 < uint64_t(w) * bps) return TE_CORRUPT;
    std::vector<uint8_t> buffer(static_cast<size_t>(stripSize));
    for (uint32_t y = 0; y < h; y += rowsPerStrip) {
        const uint32_t rows = std::min(rowsPerStrip, h - y);
        const tstrip_t strip = TIFFComputeStrip(tif, y, 0);
        const tmsize_t got = TIFFReadEncodedStrip(tif, strip, buffer.data(), stripSize);
        if (got < 0 || uint64_t(got) < uint64_t(lineSize) * rows) return TE_DATA;
        for (uint32_t r = 0; r < rows; ++r)
            putSamples(buffer.data() + size_t(r) * size_t(lineSize), w, bps, dibBits,
                       dib.row(int32_t(y + r)), 0);
        if (!progress.report(int32_t(uint64_t(y + rows) * 99 / h))) return TE_CANCELLED;
    }
    return TE_OK;
}

int32_t readTiles(TIFF* tif, uint16_t bps, int32_t dibBits, uint32_t w, uint32_t h,
                  const TiffProgress& progress, ic::MutableDib& dib) {
    uint32_t tw = 0, th = 0;
    TIFFGetField(tif, TIFFTAG_TILEWIDTH, &tw);
    TIFFGetField(tif, TIFFTAG_TILELENGTH, &th);
    const tmsize_t tileSize = TIFFTileSize(tif);
    const tmsize_t tileRow = TIFFTileRowSize(tif);
    if (tw == 0 || th == 0 || tileSize <= 0 || tileSize > kMaxChunkBytes || tileRow <= 0)
        return TE_CORRUPT;
    // Tile widths are multiples of 16 by the standard; others are left to
    // the general reader.
    if (tw % 8 != 0 || uint64_t(tileRow) * 8 < uint64_t(tw) * bps ||
        uint64_t(tileRow) * th > uint64_t(tileSize))
        return TE_UNSUPPORTED;
    std::vector<uint8_t> buffer(static_cast<size_t>(tileSize));
    // 64-bit steps: a tile size near 2^32 must not wrap around.
    for (uint64_t y = 0; y < h; y += th) {
        const uint32_t rows = uint32_t(std::min<uint64_t>(th, h - y));
        for (uint64_t x = 0; x < w; x += tw) {
            const ttile_t tile = TIFFComputeTile(tif, uint32_t(x), uint32_t(y), 0, 0);
            if (TIFFReadEncodedTile(tif, tile, buffer.data(), tileSize) < 0) return TE_DATA;
            const uint32_t cols = uint32_t(std::min<uint64_t>(tw, w - x));
            for (uint32_t r = 0; r < rows; ++r)
                putSamples(buffer.data() + size_t(r) * size_t(tileRow), cols, bps, dibBits,
                           dib.row(int32_t(y + r)), uint32_t(x));
        }
        if (!progress.report(int32_t((y + rows) * 99 / h))) return TE_CANCELLED;
    }
    return TE_OK;
}

} // namespace

int32_t indexedDibBits(uint16_t photometric, uint16_t bps, uint16_t samples,
                       uint16_t sampleFormat) {
    if (samples != 1 || sampleFormat != SAMPLEFORMAT_UINT) return 0;
    const bool grey =
        photometric == PHOTOMETRIC_MINISBLACK || photometric == PHOTOMETRIC_MINISWHITE;
    if (!grey && photometric != PHOTOMETRIC_PALETTE) return 0;
    switch (bps) {
    case 1:
        return 1;
    case 2:
    case 4:
        return 4;
    case 8:
        return 8;
    case 16:
        return grey ? 8 : 0;
    default:
        return 0;
    }
}

int32_t decodeIndexed(TIFF* tif, uint16_t photometric, uint16_t bps, int32_t dibBits,
                      const TiffProgress& progress, zp::GlobalBlock& out) {
    uint32_t w = 0, h = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h);
    std::vector<RGBQUAD> table;
    if (!makeTable(tif, photometric, bps, table)) return TE_CORRUPT;
    // A 2-bit page keeps its four entries in a 16-entry DIB table.
    out.adopt(ic::createDib(int32_t(w), int32_t(h), dibBits, table.data(), uint32_t(table.size())));
    if (!out) return TE_NO_MEMORY;
    ic::MutableDib dib(out.get());
    if (!dib.ok()) return TE_INTERNAL;
    return TIFFIsTiled(tif) ? readTiles(tif, bps, dibBits, w, h, progress, dib)
                            : readStrips(tif, bps, dibBits, w, h, progress, dib);
}

} // namespace tifcore
