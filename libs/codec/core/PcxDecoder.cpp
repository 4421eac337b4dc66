#include "libs/codec/core/PcxDecoder.h"

#include "libs/codec/CodecErrors.h"
#include "libs/imagecore/Dib.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace gifcore {

namespace {

uint16_t le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}

// The IBM EGA colours, for old files that leave the header palette empty.
constexpr uint8_t kEgaDefault[16][3] = {
    {0, 0, 0},     {0, 0, 170},     {0, 170, 0},    {0, 170, 170},   {170, 0, 0},   {170, 0, 170},
    {170, 85, 0},  {170, 170, 170}, {85, 85, 85},   {85, 85, 255},   {85, 255, 85}, {85, 255, 255},
    {255, 85, 85}, {255, 85, 255},  {255, 255, 85}, {255, 255, 255},
};

bool knownLayout(uint8_t bits, uint8_t planes) {
    if (planes == 1) return bits == 1 || bits == 2 || bits == 4 || bits == 8;
    if (bits == 1) return planes >= 2 && planes <= 4;
    return bits == 8 && (planes == 3 || planes == 4);
}

int32_t dibBits(const PcxHeader& h) {
    if (h.bitsPerPixel == 8) return h.planes == 1 ? 8 : 24;
    if (h.bitsPerPixel == 1 && h.planes == 1) return 1;
    return 4;
}

// The colour table of an indexed picture: VGA table after the pixels (0x0C
// marker) for 8 bits, grey when it is missing; black and white for 1 bit;
// the header's EGA table otherwise.
std::vector<RGBQUAD> colourTable(const PcxHeader& h, const uint8_t* data, size_t size,
                                 bool& vgaTable) {
    vgaTable = false;
    std::vector<RGBQUAD> table;
    if (h.bitsPerPixel == 8) {
        vgaTable = size >= kPcxHeaderSize + 769 && data[size - 769] == 0x0C;
        const uint8_t* vga = data + size - 768;
        for (int i = 0; i < 256; ++i)
            table.push_back(vgaTable ? RGBQUAD{vga[i * 3 + 2], vga[i * 3 + 1], vga[i * 3], 0}
                                     : RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0});
        return table;
    }
    if (h.planes == 1 && h.bitsPerPixel == 1) return {{0, 0, 0, 0}, {255, 255, 255, 0}};
    const int count = 1 << (h.bitsPerPixel * h.planes);
    const bool empty = std::all_of(h.egaPalette, h.egaPalette + 48, [](uint8_t v) { return !v; });
    for (int i = 0; i < count; ++i) {
        const uint8_t* c = empty ? kEgaDefault[i] : h.egaPalette + i * 3;
        table.push_back(RGBQUAD{c[2], c[1], c[0], 0});
    }
    return table;
}

// Scan lines out of the (run-length) byte stream. Runs may continue into
// the next line, as several writers let them.
class LineReader {
  public:
    LineReader(const uint8_t* p, const uint8_t* end, bool rle) : p_(p), end_(end), rle_(rle) {}
    bool next(uint8_t* line, size_t length) {
        size_t filled = 0;
        if (!rle_) {
            if (size_t(end_ - p_) < length) return false;
            std::memcpy(line, p_, length);
            p_ += length;
            return true;
        }
        while (filled < length) {
            if (pending_ == 0) {
                if (p_ == end_) return false;
                const uint8_t b = *p_++;
                if ((b & 0xC0) == 0xC0) {
                    if (p_ == end_) return false;
                    pending_ = b & 0x3F;
                    value_ = *p_++;
                    continue;
                }
                line[filled++] = b;
                continue;
            }
            const size_t n = std::min(size_t(pending_), length - filled);
            std::memset(line + filled, value_, n);
            filled += n;
            pending_ -= uint8_t(n);
        }
        return true;
    }

  private:
    const uint8_t* p_;
    const uint8_t* end_;
    bool rle_;
    uint8_t pending_ = 0;
    uint8_t value_ = 0;
};

// One stored line (all planes) into DIB row `row`.
void convertLine(const PcxHeader& h, const uint8_t* line, uint8_t* row) {
    const size_t bpl = h.bytesPerLine;
    const int32_t w = h.width;
    if (h.planes == 1 && h.bitsPerPixel != 2) {
        std::memcpy(row, line, (size_t(w) * h.bitsPerPixel + 7) / 8);
    } else if (h.planes == 1) { // 2 bits: four pixels a byte into 4-bit nibbles
        for (int32_t x = 0; x < w; ++x) {
            const uint8_t v = (line[x >> 2] >> (6 - 2 * (x & 3))) & 3;
            row[x >> 1] |= uint8_t((x & 1) ? v : v << 4);
        }
    } else if (h.bitsPerPixel == 1) { // plane p holds bit p of the index
        for (int32_t x = 0; x < w; ++x) {
            uint8_t v = 0;
            const uint8_t mask = uint8_t(0x80 >> (x & 7));
            for (int p = 0; p < h.planes; ++p)
                if (line[size_t(p) * bpl + size_t(x >> 3)] & mask) v |= uint8_t(1 << p);
            row[x >> 1] |= uint8_t((x & 1) ? v : v << 4);
        }
    } else { // planes red, green, blue (alpha ignored)
        const uint8_t* r = line;
        const uint8_t* g = line + bpl;
        const uint8_t* b = line + 2 * bpl;
        for (int32_t x = 0; x < w; ++x) {
            row[x * 3] = b[x];
            row[x * 3 + 1] = g[x];
            row[x * 3 + 2] = r[x];
        }
    }
}

} // namespace

int32_t parsePcxHeader(const uint8_t* data, size_t size, PcxHeader& out) {
    if (!data || size < kPcxHeaderSize || data[0] != 0x0A) return PVE_PCX_HEADER;
    const uint8_t version = data[1];
    if (version > 5 || version == 1 || data[2] > 1) return PVE_PCX_HEADER;
    const uint16_t xmin = le16(data + 4), ymin = le16(data + 6);
    const uint16_t xmax = le16(data + 8), ymax = le16(data + 10);
    if (xmax < xmin || ymax < ymin) return PVE_PCX_HEADER;
    out.width = int32_t(xmax) - xmin + 1;
    out.height = int32_t(ymax) - ymin + 1;
    out.version = version;
    out.encoding = data[2];
    out.bitsPerPixel = data[3];
    out.planes = data[65];
    out.bytesPerLine = le16(data + 66);
    out.egaPalette = data + 16;
    if (!knownLayout(out.bitsPerPixel, out.planes)) return PVE_PCX_LAYOUT;
    if (out.bytesPerLine < (uint32_t(out.width) * out.bitsPerPixel + 7) / 8) return PVE_PCX_HEADER;
    if (!ic::fitsLimits(uint32_t(out.width), uint32_t(out.height), uint32_t(dibBits(out))))
        return PVE_TOO_LARGE;
    return PVE_OK;
}

int32_t decodePcx(const uint8_t* data, size_t size, const StillOptions&, const Progress& progress,
                  zp::GlobalBlock& out) {
    PcxHeader h;
    int32_t rc = parsePcxHeader(data, size, h);
    if (rc != PVE_OK) return rc;
    bool vgaTable = false;
    const std::vector<RGBQUAD> table = colourTable(h, data, size, vgaTable);
    const uint8_t* end = data + size - (vgaTable ? 769 : 0);
    const uint8_t* start = data + kPcxHeaderSize;

    // Refuse before allocating when the stream cannot fill the picture: a
    // run byte pair yields at most 63 bytes.
    const size_t lineBytes = size_t(h.bytesPerLine) * h.planes;
    const uint64_t needed = uint64_t(lineBytes) * uint64_t(h.height);
    const uint64_t available = uint64_t(end - start);
    if (h.encoding ? available * 32 < needed : available < needed) return PVE_PCX_SHORT;

    const int32_t bits = dibBits(h);
    zp::GlobalBlock dib(ic::createDib(
        h.width, h.height, bits, table.empty() ? nullptr : table.data(), uint32_t(table.size())));
    if (!dib) return PVE_NO_MEMORY;
    {
        ic::MutableDib target(dib.get());
        if (!target.ok()) return PVE_NO_MEMORY;
        std::vector<uint8_t> line(lineBytes);
        LineReader reader(start, end, h.encoding == 1);
        RowProgress rows(progress, h.height, true);
        // A truncated file is refused: for 8 bits the colour table would be
        // read from pixel bytes, so a partial picture could not be trusted.
        for (int32_t y = 0; y < h.height; ++y) {
            if (!reader.next(line.data(), lineBytes)) return PVE_PCX_SHORT;
            convertLine(h, line.data(), target.row(y));
            if (!rows.row(y)) return PVE_CANCELLED;
        }
    }
    out = std::move(dib);
    return PVE_OK;
}

} // namespace gifcore
