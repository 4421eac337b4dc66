#include "libs/codec/core/IcoDecoder.h"

#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/BmpDecoder.h"
#include "libs/codec/core/PngDecoder.h"
#include "libs/imagecore/DibConvert.h"

#include <algorithm>

namespace gifcore {

namespace {

constexpr size_t kDirectoryHeader = 6;
constexpr size_t kEntryBytes = 16;

// The bytes a BMP entry spans by its own header (information header, table,
// XOR rows, then the AND mask as far as the file holds it), or 0 when the
// file ends before the XOR rows do.
uint32_t sizeFromHeader(const uint8_t* p, size_t left) {
    BmpLayout l;
    if (parseBmpHeader(p, left, 0, l) != PVE_OK || l.height < 2) return 0;
    const uint64_t rows = uint64_t(l.height / 2);
    const bool rle = l.compression == BmpCompression::Rle4 || l.compression == BmpCompression::Rle8;
    if (rle && l.dataSize == 0) return 0; // run-length data gives no extent of its own
    const uint64_t pixels = l.tableEnd + (rle ? l.dataSize : bmpStride(l.width, l.bits) * rows);
    if (pixels > left) return 0;
    return uint32_t(std::min<uint64_t>(pixels + bmpStride(l.width, 1) * rows, left));
}

// Fills width, height and depth from the image's own header; directory
// bytes are often wrong (0 colours, 0 bits), the embedded header is not.
// A directory size smaller than the entry's own header is one of those
// slips (browsers read on): the header's extent then stands in for it.
void probe(const uint8_t* data, size_t fileSize, IcoEntry& e) {
    const uint8_t* p = data + e.offset;
    if (isPng(p, e.size)) {
        PngHeader h;
        if (readPngHeader(p, e.size, h) != PVE_OK) return;
        e.png = true;
        e.width = h.width, e.height = h.height, e.bits = h.bitDepth * h.channels;
        e.usable = true;
        return;
    }
    const size_t left = fileSize - e.offset;
    if (left < 16) return;
    const uint32_t header = le32(p);
    if (header < 16 || header > left) return; // icons never use the 12-byte OS/2 header
    if (e.size < header && (e.size = sizeFromHeader(p, left)) == 0) return;
    const int32_t w = int32_t(le32(p + 4)), h = int32_t(le32(p + 8));
    if (w <= 0 || h <= 0) return;
    e.width = w, e.height = std::max(h / 2, 1), e.bits = le16(p + 14);
    e.usable = true;
}

// Makes the pixels the AND mask marks white; 32-bit pixels with alpha are
// blended onto white instead (their AND mask is only a fallback for old systems).
int32_t applyMask(const BmpLayout& l, const uint8_t* xorData, size_t available,
                  zp::GlobalBlock& picture) {
    const uint64_t xorBytes = bmpStride(l.width, l.bits) * uint64_t(l.height);
    bool alpha = false;
    if (l.bits == 32 && l.compression == BmpCompression::None)
        for (uint64_t i = 3; i < xorBytes && !alpha; i += 4)
            alpha = xorData[i] != 0;
    const uint64_t maskStride = bmpStride(l.width, 1);
    const bool hasMask =
        xorBytes + maskStride * uint64_t(l.height) <= available &&
        (l.compression == BmpCompression::None || l.compression == BmpCompression::BitFields);
    if (!alpha && !hasMask) return PVE_OK;    // nothing transparent
    auto masked = [&](int32_t x, int32_t y) { // y from the top
        const uint8_t* row = xorData + xorBytes + maskStride * uint64_t(l.height - 1 - y);
        return (row[x / 8] >> (7 - x % 8)) & 1;
    };

    int white = -1;
    int32_t bpp = 0;
    zp::GlobalBlock wide;
    {
        zp::GlobalLockGuard lock(picture.get());
        ic::DibView view;
        if (!lock || !ic::parseDib(lock.data(), picture.size(), view)) return PVE_INTERNAL;
        bpp = view.bpp;
        for (uint32_t i = 0; i < view.colorCount && white < 0; ++i) {
            const RGBQUAD& c = view.colors[i];
            if (c.rgbRed == 255 && c.rgbGreen == 255 && c.rgbBlue == 255) white = int(i);
        }
        if (bpp != 24 && white < 0) {
            // No white to map masked pixels to: continue in true colour.
            wide.adopt(ic::convertDibDepth(view, 24, false));
            if (!wide) return PVE_NO_MEMORY;
        }
    }
    if (wide) picture = std::move(wide), bpp = 24;
    ic::MutableDib dib(picture.get());
    if (!dib.ok()) return PVE_INTERNAL;
    for (int32_t y = 0; y < l.height; ++y) {
        for (int32_t x = 0; x < l.width; ++x) {
            if (alpha) {
                uint8_t* px = dib.row(y) + size_t(x) * 3;
                const uint32_t a = xorData[bmpStride(l.width, 32) * uint64_t(l.height - 1 - y) +
                                           4 * size_t(x) + 3];
                for (int c = 0; c < 3; ++c)
                    px[c] = uint8_t((px[c] * a + 255 * (255 - a) + 127) / 255);
            } else if (masked(x, y)) {
                if (bpp == 24) {
                    uint8_t* px = dib.row(y) + size_t(x) * 3;
                    px[0] = px[1] = px[2] = 255;
                } else {
                    dib.setIndex(x, y, uint8_t(white));
                }
            }
        }
    }
    return PVE_OK;
}

int32_t decodeBmpEntry(const uint8_t* p, size_t size, uint64_t maxPixels, const Progress& progress,
                       zp::GlobalBlock& out) {
    BmpLayout layout;
    int32_t rc = parseBmpHeader(p, size, 0, layout);
    if (rc != PVE_OK) return rc;
    if (layout.topDown || layout.height < 2) return PVE_ICO_ENTRY;
    layout.height /= 2; // the stored height covers the XOR picture and the AND mask
    if (uint64_t(layout.width) * uint64_t(layout.height) > maxPixels) return PVE_TOO_LARGE;
    if (layout.tableEnd >= size) return PVE_ICO_ENTRY;
    const uint8_t* pixels = p + layout.tableEnd;
    const size_t available = size - size_t(layout.tableEnd);
    rc = decodeBmpPixels(layout, pixels, available, progress, out);
    if (rc != PVE_OK) return rc;
    return applyMask(layout, pixels, available, out);
}

} // namespace

bool isIco(const uint8_t* data, size_t size) {
    if (size < kDirectoryHeader + kEntryBytes || le16(data) != 0) return false;
    const uint16_t type = le16(data + 2), count = le16(data + 4);
    if ((type != 1 && type != 2) || count == 0) return false;
    const uint32_t firstOffset = le32(data + kDirectoryHeader + 12);
    return firstOffset >= kDirectoryHeader + kEntryBytes * count && firstOffset < size;
}

int32_t readIcoDirectory(const uint8_t* data, size_t size, IcoDirectory& out) {
    out = IcoDirectory{};
    if (size < kDirectoryHeader || le16(data) != 0) return PVE_ICO_DIRECTORY;
    const uint16_t type = le16(data + 2), count = le16(data + 4);
    if ((type != 1 && type != 2) || count == 0) return PVE_ICO_DIRECTORY;
    if (kDirectoryHeader + kEntryBytes * count > size) return PVE_ICO_DIRECTORY;
    out.cursor = type == 2;
    bool any = false;
    for (uint16_t i = 0; i < count; ++i) {
        const uint8_t* d = data + kDirectoryHeader + kEntryBytes * i;
        IcoEntry e;
        e.width = d[0] ? d[0] : 256;
        e.height = d[1] ? d[1] : 256;
        e.bits = out.cursor ? 0 : le16(d + 6);
        e.offset = le32(d + 12);
        // A size running past the end is cut; the decoder then reports what is missing.
        if (e.offset >= kDirectoryHeader + kEntryBytes * count && e.offset < size) {
            e.size = uint32_t(std::min<uint64_t>(le32(d + 8), size - e.offset));
            probe(data, size, e);
        }
        if (e.usable) {
            const IcoEntry& best = out.entries.empty() ? e : out.entries[out.chosen];
            const uint64_t area = uint64_t(e.width) * uint64_t(e.height),
                           bestArea = uint64_t(best.width) * uint64_t(best.height);
            if (!any || area > bestArea || (area == bestArea && e.bits > best.bits))
                out.chosen = out.entries.size();
            any = true;
        }
        out.entries.push_back(e);
    }
    return any ? PVE_OK : PVE_ICO_ENTRY;
}

int32_t decodeIcoFile(const uint8_t* data, size_t size, uint64_t maxPixels,
                      const Progress& progress, zp::GlobalBlock& out) {
    IcoDirectory dir;
    const int32_t rc = readIcoDirectory(data, size, dir);
    if (rc != PVE_OK) return rc;
    const IcoEntry& e = dir.entries[dir.chosen];
    if (uint64_t(e.width) * uint64_t(e.height) > maxPixels) return PVE_TOO_LARGE;
    if (e.png) return decodePng(data + e.offset, e.size, {}, progress, out);
    return decodeBmpEntry(data + e.offset, e.size, maxPixels, progress, out);
}

int32_t decodeIco(const uint8_t* data, size_t size, const StillOptions&, const Progress& progress,
                  zp::GlobalBlock& out) {
    return decodeIcoFile(data, size, kBmpMaxPixels, progress, out);
}

} // namespace gifcore
