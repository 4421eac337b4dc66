#include "libs/tiff/core/TiffDecoder.h"

#include "libs/imagecore/Dib.h"
#include "libs/tiff/core/TiffErrors.h"
#include "libs/tiff/core/TiffIndexed.h"
#include "libs/tiff/core/TiffOrientation.h"
#include "libs/tiff/core/TiffSource.h"

#include <algorithm>
#include <vector>

namespace tifcore {

namespace {

// Opens the file and selects the page.
int32_t openPage(TiffSource& source, int32_t page, int32_t* pageCount) {
    int32_t rc = source.open();
    if (rc != TE_OK) return rc;
    const int32_t count = source.pageCount();
    if (pageCount) *pageCount = count;
    if (count < 1) return TE_CORRUPT;
    if (page < 0 || page >= count) return TE_PAGE;
    if (!TIFFSetDirectory(source.tiff(), tdir_t(page))) return TE_CORRUPT;
    return TE_OK;
}

struct Layout {
    uint32_t width = 0, height = 0;
    uint16_t bitsPerSample = 1, samples = 1, photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t sampleFormat = SAMPLEFORMAT_UINT, compression = COMPRESSION_NONE;
    uint16_t orientation = ORIENTATION_TOPLEFT;
};

Layout layoutOf(TIFF* tif) {
    Layout l;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &l.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &l.height);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &l.bitsPerSample);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &l.sampleFormat);
    TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &l.compression);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &l.photometric))
        l.photometric = l.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    l.orientation = orientationOf(tif);
    return l;
}

// Size limits before any allocation: the DIB of `bits` must fit, in stored
// order and, when the sides swap, upright too (its rows pad differently).
int32_t checkSize(const Layout& l, int32_t bits, uint64_t maxBytes) {
    if (l.width == 0 || l.height == 0) return TE_BAD_SIZE;
    const bool swap = swapsSides(l.orientation);
    if (!ic::fitsLimits(l.width, l.height, uint32_t(bits)) ||
        (swap && !ic::fitsLimits(l.height, l.width, uint32_t(bits))))
        return TE_TOO_LARGE;
    const uint64_t stored = uint64_t(ic::dibStride(int32_t(l.width), bits)) * l.height;
    const uint64_t turned = uint64_t(ic::dibStride(int32_t(l.height), bits)) * l.width;
    return stored > maxBytes || (swap && turned > maxBytes) ? TE_TOO_LARGE : TE_OK;
}

// Every other layout through libtiff's RGBA interface, a band of rows at a
// time (the band buffer stays small whatever the page size).
int32_t decodeRgba(TIFF* tif, const Layout& l, const TiffProgress& progress, zp::GlobalBlock& out) {
    char reason[1024] = "";
    if (!TIFFRGBAImageOK(tif, reason)) {
        setLastLibtiffError(reason);
        return TE_UNSUPPORTED;
    }
    TIFFRGBAImage img;
    if (!TIFFRGBAImageBegin(&img, tif, 1, reason)) {
        setLastLibtiffError(reason);
        return TE_UNSUPPORTED;
    }
    struct End {
        TIFFRGBAImage* img;
        ~End() { TIFFRGBAImageEnd(img); }
    } end{&img};
    // Stored order: libtiff would flip each band on its own and never
    // transposes, so the whole page is turned upright afterwards.
    img.req_orientation = img.orientation;
    const int32_t w = int32_t(l.width), h = int32_t(l.height);
    out.adopt(ic::createDib(w, h, 24, nullptr));
    if (!out) return TE_NO_MEMORY;
    ic::MutableDib dib(out.get());
    if (!dib.ok()) return TE_INTERNAL;
    // Bands follow the strips (or tile rows): each is decoded once, and
    // progress moves per strip.
    uint32_t unit = 0;
    if (TIFFIsTiled(tif))
        TIFFGetField(tif, TIFFTAG_TILELENGTH, &unit);
    else
        TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &unit);
    const int32_t most = std::clamp<int32_t>((16 << 20) / (w * 4), 1, h);
    const int32_t band = unit == 0 ? most : int32_t(std::min<uint32_t>(unit, uint32_t(most)));
    std::vector<uint32_t> raster(size_t(w) * size_t(band));
    for (int32_t y = 0; y < h; y += band) {
        const int32_t rows = std::min(band, h - y);
        img.row_offset = y;
        img.col_offset = 0;
        if (!TIFFRGBAImageGet(&img, raster.data(), uint32_t(w), uint32_t(rows))) return TE_DATA;
        for (int32_t r = 0; r < rows; ++r) {
            const uint32_t* src = raster.data() + size_t(r) * size_t(w);
            uint8_t* dst = dib.row(y + r);
            for (int32_t x = 0; x < w; ++x) {
                // libtiff hands premultiplied colour: over white adds 255 - alpha.
                const uint32_t p = src[x];
                const uint32_t white = 255 - TIFFGetA(p);
                dst[3 * x] = uint8_t(std::min<uint32_t>(255, TIFFGetB(p) + white));
                dst[3 * x + 1] = uint8_t(std::min<uint32_t>(255, TIFFGetG(p) + white));
                dst[3 * x + 2] = uint8_t(std::min<uint32_t>(255, TIFFGetR(p) + white));
            }
        }
        if (!progress.report(int32_t(int64_t(y + rows) * 99 / h))) return TE_CANCELLED;
    }
    return TE_OK;
}

} // namespace

int32_t readTiffInfo(const uint8_t* data, size_t size, int32_t page, TiffPageInfo& info) {
    TiffSource source(data, size);
    int32_t count = 0;
    const int32_t rc = openPage(source, page, &count);
    if (rc != TE_OK) return rc;
    const Layout l = layoutOf(source.tiff());
    if (l.width == 0 || l.height == 0) return TE_BAD_SIZE;
    // The size of the page as delivered: upright.
    const bool swap = swapsSides(l.orientation);
    info.width = int32_t(std::min<uint32_t>(swap ? l.height : l.width, INT32_MAX));
    info.height = int32_t(std::min<uint32_t>(swap ? l.width : l.height, INT32_MAX));
    info.bits = int16_t(std::min<int32_t>(int32_t(l.bitsPerSample) * l.samples, INT16_MAX));
    info.pageCount = int16_t(count);
    info.compression = l.compression;
    return TE_OK;
}

int32_t decodeTiffPage(const uint8_t* data, size_t size, int32_t page, const TiffProgress& progress,
                       zp::GlobalBlock& out, uint64_t maxPixelBytes) {
    if (maxPixelBytes == 0) maxPixelBytes = ic::kMaxPixelBytes;
    TiffSource source(data, size);
    int32_t rc = openPage(source, page, nullptr);
    if (rc != TE_OK) return rc;
    TIFF* tif = source.tiff();
    const Layout l = layoutOf(tif);
    const int32_t indexedBits =
        indexedDibBits(l.photometric, l.bitsPerSample, l.samples, l.sampleFormat);
    rc = checkSize(l, indexedBits ? indexedBits : 24, maxPixelBytes);
    if (rc != TE_OK) return rc;
    if (indexedBits) {
        rc = decodeIndexed(tif, l.photometric, l.bitsPerSample, indexedBits, progress, out);
        // A layout the raw path cannot take (an odd tile size ...) may still
        // go through libtiff's general reader.
        if (rc == TE_UNSUPPORTED) {
            out.reset();
            rc = checkSize(l, 24, maxPixelBytes);
            if (rc == TE_OK) rc = decodeRgba(tif, l, progress, out);
        }
    } else {
        rc = decodeRgba(tif, l, progress, out);
    }
    if (rc == TE_OK && !orientUpright(out, l.orientation)) rc = TE_NO_MEMORY;
    // A page that fails hands out nothing: a partial strip read is not safe
    // to show (the rest of the DIB would be blank, not "the file so far").
    if (rc != TE_OK) out.reset();
    return rc;
}

} // namespace tifcore
