#include "libs/codec/core/PngDecoder.h"

#include "libs/codec/CodecErrors.h"
#include "libs/imagecore/Dib.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

namespace gifcore {

namespace {

// Largest chunk libpng may allocate (ancillary chunks only; image data is
// streamed) and how many ancillary chunks it keeps.
constexpr png_alloc_size_t kMaxChunkBytes = png_alloc_size_t(16) << 20;
constexpr png_uint_32 kMaxAncillaryChunks = 1000;

constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

uint32_t bigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

// What libpng hands over per row after our transforms.
enum class RowKind {
    Indexed,   // palette or grey indices, packed 1/4/8 bits, copied as is
    TwoBit,    // 2-bit indices unpacked to bytes by libpng; packed into nibbles
    GreyAlpha, // grey + alpha bytes, composited to an 8-bit grey index
    Bgr,       // 3 bytes per pixel, copied as is
    Bgra,      // 4 bytes per pixel, composited to BGR
};

// Everything the libpng phases share. Plain data only: libpng leaves the
// phases by longjmp, which must not skip a destructor.
struct PngState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t pos = 0;
    bool truncated = false;
    bool outOfMemory = false;
    int32_t width = 0;
    int32_t height = 0;
    int passes = 1;
    size_t rowBytes = 0;
    RowKind kind = RowKind::Indexed;
    int32_t dibBits = 8;
    RGBQUAD colours[256] = {};
    uint32_t colourCount = 0;
};

// Frees the libpng structures however the decode ends.
class PngStructs {
  public:
    explicit PngStructs(PngState& s) : s_(s) {}
    ~PngStructs() {
        if (s_.png) png_destroy_read_struct(&s_.png, s_.info ? &s_.info : nullptr, nullptr);
    }
    PngStructs(const PngStructs&) = delete;
    PngStructs& operator=(const PngStructs&) = delete;

  private:
    PngState& s_;
};

void readBytes(png_structp png, png_bytep out, size_t count) {
    auto* s = static_cast<PngState*>(png_get_io_ptr(png));
    if (count > s->size - s->pos) {
        s->truncated = true;
        png_error(png, "truncated");
    }
    std::memcpy(out, s->data + s->pos, count);
    s->pos += count;
}

void onError(png_structp png, png_const_charp message) {
    auto* s = static_cast<PngState*>(png_get_error_ptr(png));
    if (message && std::strstr(message, "emory")) s->outOfMemory = true;
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {} // ancillary faults are not the user's concern

uint8_t over(uint32_t colour, uint32_t alpha) {
    return uint8_t((colour * alpha + 255 * (255 - alpha) + 127) / 255);
}

// Grey table of a grey image of `depth` bits; the tRNS grey, when given,
// shows as white (the background alpha is composited over).
void greyTable(PngState& s, int depth, int transparent) {
    const uint32_t count = 1u << depth;
    const uint32_t step = 255 / (count - 1);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t v = int(i) == transparent ? 255 : uint8_t(i * step);
        s.colours[i] = RGBQUAD{v, v, v, 0};
    }
}

int32_t failure(const PngState& s) {
    if (s.outOfMemory) return PVE_NO_MEMORY;
    return s.truncated ? PVE_TRUNCATED : PVE_PNG_CORRUPT;
}

// Phase 1: header, transforms and the output layout.
int32_t setUp(PngState& s) {
    if (setjmp(png_jmpbuf(s.png))) return failure(s);
    png_set_user_limits(s.png, uint32_t(ic::kMaxSide), uint32_t(ic::kMaxSide));
    // Some writers declare a smaller deflate window in the zlib header than
    // their data uses; browsers inflate with the full 32 KiB window, and so
    // do we, instead of failing with "invalid distance too far back".
    png_set_option(s.png, PNG_MAXIMUM_INFLATE_WINDOW, PNG_OPTION_ON);
    // A chunk's declared length is the file's word: without a cap a damaged
    // text or profile chunk makes libpng ask for gigabytes before reading it.
    png_set_chunk_malloc_max(s.png, kMaxChunkBytes);
    png_set_chunk_cache_max(s.png, kMaxAncillaryChunks);
    png_set_read_fn(s.png, &s, readBytes);
    png_read_info(s.png, s.info);

    png_uint_32 w = 0, h = 0;
    int depth = 0, colourType = 0, interlace = 0;
    png_get_IHDR(s.png, s.info, &w, &h, &depth, &colourType, &interlace, nullptr, nullptr);
    s.width = int32_t(w);
    s.height = int32_t(h);
    png_bytep trnsAlpha = nullptr;
    int trnsCount = 0;
    png_color_16p trnsColour = nullptr;
    const bool hasTrns =
        png_get_tRNS(s.png, s.info, &trnsAlpha, &trnsCount, &trnsColour) & PNG_INFO_tRNS;

    if (depth == 16) png_set_scale_16(s.png);
    if (colourType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        if (!(png_get_PLTE(s.png, s.info, &palette, &count) & PNG_INFO_PLTE)) count = 0;
        count = std::min(count, 1 << depth);
        for (int i = 0; i < count; ++i) {
            const uint32_t a = hasTrns && trnsAlpha && i < trnsCount ? trnsAlpha[i] : 255;
            s.colours[i] = RGBQUAD{over(palette[i].blue, a), over(palette[i].green, a),
                                   over(palette[i].red, a), 0};
        }
    } else if (colourType == PNG_COLOR_TYPE_GRAY && depth <= 8) {
        greyTable(s, depth, hasTrns && trnsColour ? int(trnsColour->gray) : -1);
    } else if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        if (hasTrns) png_set_tRNS_to_alpha(s.png); // 16-bit grey with a transparent value
        greyTable(s, 8, -1);
    } else {
        if (hasTrns) png_set_tRNS_to_alpha(s.png);
        png_set_bgr(s.png);
    }
    if (colourType == PNG_COLOR_TYPE_PALETTE || (colourType == PNG_COLOR_TYPE_GRAY && depth <= 8)) {
        s.kind = depth == 2 ? RowKind::TwoBit : RowKind::Indexed;
        s.dibBits = depth == 2 ? 4 : depth;
        if (depth == 2) png_set_packing(s.png);
    } else if (colourType == PNG_COLOR_TYPE_GRAY && !hasTrns) {
        s.kind = RowKind::Indexed;
        s.dibBits = 8;
    } else if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        s.kind = RowKind::GreyAlpha;
        s.dibBits = 8;
    } else {
        s.kind = colourType == PNG_COLOR_TYPE_RGB && !hasTrns ? RowKind::Bgr : RowKind::Bgra;
        s.dibBits = 24;
    }
    s.colourCount = s.dibBits <= 8 ? 1u << s.dibBits : 0;
    s.passes = png_set_interlace_handling(s.png);
    png_read_update_info(s.png, s.info);
    s.rowBytes = png_get_rowbytes(s.png, s.info);
    return PVE_OK;
}

// Phase 2: count rows, pass by pass, into rows[y] (each rowBytes long);
// progress is reported when given.
int32_t readRows(PngState& s, uint8_t* const* rows, int32_t count, const Progress* progress) {
    if (setjmp(png_jmpbuf(s.png))) return failure(s);
    const int64_t total = int64_t(s.passes) * count;
    const int32_t chunk = std::max(1, count / 32);
    for (int pass = 0; pass < s.passes; ++pass) {
        for (int32_t y = 0; y < count; ++y) {
            png_read_row(s.png, rows[y], nullptr);
            if (progress && y % chunk == 0) {
                const int64_t done = int64_t(pass) * count + y;
                if (!progress->report(int32_t(done * 98 / total))) return PVE_CANCELLED;
            }
        }
    }
    return PVE_OK;
}

void convertRow(const PngState& s, const uint8_t* in, uint8_t* out) {
    switch (s.kind) {
    case RowKind::Indexed:
    case RowKind::Bgr:
        break; // read in place
    case RowKind::TwoBit:
        for (int32_t x = 0; x < s.width; ++x) {
            const uint8_t v = in[x] & 3;
            out[x / 2] = uint8_t(x % 2 ? (out[x / 2] | v) : v << 4);
        }
        break;
    case RowKind::GreyAlpha:
        for (int32_t x = 0; x < s.width; ++x)
            out[x] = over(in[2 * x], in[2 * x + 1]);
        break;
    case RowKind::Bgra:
        for (int32_t x = 0; x < s.width; ++x) {
            const uint8_t* p = in + 4 * size_t(x);
            out[3 * x] = over(p[0], p[3]);
            out[3 * x + 1] = over(p[1], p[3]);
            out[3 * x + 2] = over(p[2], p[3]);
        }
        break;
    }
}

// libpng allocates a whole ancillary chunk before reading it, trusting the
// length the file declares. The file is in memory, so a chunk other than
// image data that claims more bytes than are left is refused here first.
bool chunksFit(const uint8_t* data, size_t size) {
    size_t pos = 8;
    while (pos + 8 <= size) {
        const uint32_t length = bigEndian32(data + pos);
        const uint8_t* type = data + pos + 4;
        if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0) return true;
        if (length > size - pos - 8 || size - pos - 8 - length < 4) return false;
        pos += size_t(length) + 12;
    }
    return true;
}

int32_t decode(const uint8_t* data, size_t size, const Progress& progress, zp::GlobalBlock& out) {
    PngHeader header;
    const int32_t rc = readPngHeader(data, size, header);
    if (rc != PVE_OK) return rc;
    if (!chunksFit(data, size)) return PVE_TRUNCATED;
    PngState s;
    s.data = data;
    s.size = size;
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &s, onError, onWarning);
    PngStructs owner(s);
    if (!s.png) return PVE_NO_MEMORY;
    s.info = png_create_info_struct(s.png);
    if (!s.info) return PVE_NO_MEMORY;
    int32_t result = setUp(s);
    if (result != PVE_OK) return result;
    // Deflate shrinks by 1032:1 at most: a file with less data left than
    // that cannot hold the image, and the picture is not allocated for it.
    const uint64_t rawBytes =
        (uint64_t(header.width) * uint64_t(header.bitDepth * header.channels) + 15) / 8 *
        uint64_t(header.height);
    if (uint64_t(size - s.pos) * 1032 < rawBytes) return PVE_TRUNCATED;

    zp::GlobalBlock picture(ic::createDib(s.width, s.height, s.dibBits, s.colours, s.colourCount));
    if (!picture) return PVE_NO_MEMORY;
    ic::MutableDib dib(picture.get());
    if (!dib.ok()) return PVE_NO_MEMORY;
    // Rows that need converting go through a buffer: the whole image when
    // interlaced (later passes fill in earlier rows), else one row.
    const bool direct = s.kind == RowKind::Indexed || s.kind == RowKind::Bgr;
    if (!direct && uint64_t(s.rowBytes) * uint64_t(s.height) > ic::kMaxPixelBytes)
        return PVE_TOO_LARGE;
    std::vector<uint8_t> buffer;
    std::vector<uint8_t*> rows(size_t(s.height));
    if (direct || s.passes > 1) {
        if (!direct) buffer.resize(s.rowBytes * size_t(s.height));
        for (int32_t y = 0; y < s.height; ++y)
            rows[size_t(y)] = direct ? dib.row(y) : buffer.data() + s.rowBytes * size_t(y);
        result = readRows(s, rows.data(), s.height, &progress);
        for (int32_t y = 0; !direct && result == PVE_OK && y < s.height; ++y)
            convertRow(s, rows[size_t(y)], dib.row(y));
    } else {
        buffer.resize(s.rowBytes);
        uint8_t* row = buffer.data();
        const int32_t chunk = std::max(1, s.height / 32);
        for (int32_t y = 0; result == PVE_OK && y < s.height; ++y) {
            result = readRows(s, &row, 1, nullptr);
            if (result != PVE_OK) break;
            convertRow(s, row, dib.row(y));
            if (y % chunk == 0 && !progress.report(int32_t(int64_t(y) * 98 / s.height)))
                result = PVE_CANCELLED;
        }
    }
    if (result != PVE_OK) return result;
    out = std::move(picture);
    return PVE_OK;
}

} // namespace

bool isPng(const uint8_t* data, size_t size) {
    return size >= 8 && std::memcmp(data, kSignature, 8) == 0;
}

int32_t readPngHeader(const uint8_t* data, size_t size, PngHeader& out) {
    if (!data || !isPng(data, size)) return PVE_PNG_NOT;
    if (size < 8 + 8 + 13) return PVE_TRUNCATED;
    const uint8_t* ihdr = data + 8;
    if (bigEndian32(ihdr) != 13 || std::memcmp(ihdr + 4, "IHDR", 4) != 0) return PVE_PNG_CORRUPT;
    const uint32_t w = bigEndian32(ihdr + 8);
    const uint32_t h = bigEndian32(ihdr + 12);
    const int depth = ihdr[16];
    const int type = ihdr[17];
    if (w == 0 || h == 0 || w > 0x7FFFFFFFu || h > 0x7FFFFFFFu) return PVE_BAD_SIZE;
    int channels = 0;
    bool depthOk = false;
    switch (type) {
    case PNG_COLOR_TYPE_GRAY:
        channels = 1;
        depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        break;
    case PNG_COLOR_TYPE_PALETTE:
        channels = 1;
        depthOk = depth == 1 || depth == 2 || depth == 4 || depth == 8;
        break;
    case PNG_COLOR_TYPE_RGB:
    case PNG_COLOR_TYPE_GRAY_ALPHA:
    case PNG_COLOR_TYPE_RGB_ALPHA:
        channels = type == PNG_COLOR_TYPE_RGB ? 3 : type == PNG_COLOR_TYPE_GRAY_ALPHA ? 2 : 4;
        depthOk = depth == 8 || depth == 16;
        break;
    default:
        return PVE_PNG_CORRUPT;
    }
    if (!depthOk || ihdr[20] > 1) return PVE_PNG_CORRUPT;
    // The depth of the DIB the decoder makes (see the transforms in setUp).
    const uint32_t dibBits = channels >= 3                 ? 24
                             : channels == 2 || depth >= 8 ? 8
                             : depth == 2                  ? 4
                                                           : uint32_t(depth);
    if (!ic::fitsLimits(w, h, dibBits)) return PVE_TOO_LARGE;
    out.width = int32_t(w);
    out.height = int32_t(h);
    out.bitDepth = depth;
    out.channels = channels;
    out.colourType = type;
    out.interlaced = ihdr[20] == 1;
    return PVE_OK;
}

int32_t decodePng(const uint8_t* data, size_t size, const StillOptions& /*options*/,
                  const Progress& progress, zp::GlobalBlock& out) {
    return guarded([&] { return decode(data, size, progress, out); });
}

} // namespace gifcore
