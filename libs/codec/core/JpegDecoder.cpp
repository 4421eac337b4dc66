#include "libs/codec/core/JpegDecoder.h"

#include "libs/codec/CodecErrors.h"
#include "libs/imagecore/Dib.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <jerror.h>
#include <jpeglib.h>

#include <algorithm>
#include <new>
#include <vector>

namespace gifcore {

namespace {

// Everything the libjpeg phases share. Plain data only: libjpeg leaves the
// phases by longjmp, which must not skip a destructor.
struct JpegState {
    jpeg_decompress_struct cinfo = {};
    jpeg_error_mgr errors = {};
    std::jmp_buf jump = {};
    bool created = false;
    bool hitEnd = false; // the data ran out; libjpeg went on with an invented end marker
    int lastError = 0;
};

// Destroys the decompressor however the decode ends.
class JpegStructs {
  public:
    explicit JpegStructs(JpegState& s) : s_(s) {}
    ~JpegStructs() {
        if (s_.created) jpeg_destroy_decompress(&s_.cinfo);
    }
    JpegStructs(const JpegStructs&) = delete;
    JpegStructs& operator=(const JpegStructs&) = delete;

  private:
    JpegState& s_;
};

JpegState& stateOf(j_common_ptr cinfo) {
    return *static_cast<JpegState*>(cinfo->client_data);
}

[[noreturn]] void onError(j_common_ptr cinfo) {
    JpegState& s = stateOf(cinfo);
    s.lastError = cinfo->err->msg_code;
    std::longjmp(s.jump, 1);
}

void onMessage(j_common_ptr cinfo, int level) {
    if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) stateOf(cinfo).hitEnd = true;
    if (level < 0) ++cinfo->err->num_warnings;
}

void silent(j_common_ptr) {}

int32_t failure(const JpegState& s) {
    if (s.hitEnd && s.lastError != JERR_OUT_OF_MEMORY) return PVE_TRUNCATED;
    switch (s.lastError) {
    case JERR_OUT_OF_MEMORY:
        return PVE_NO_MEMORY;
    case JERR_NO_BACKING_STORE: // past the memory limit set below
    case JERR_IMAGE_TOO_BIG:
    case JERR_WIDTH_OVERFLOW:
        return PVE_TOO_LARGE;
    case JERR_NO_SOI:
        return PVE_JPEG_NOT;
    case JERR_NO_IMAGE:
        return PVE_NO_IMAGE;
    case JERR_INPUT_EMPTY:
    case JERR_INPUT_EOF:
        return PVE_TRUNCATED;
    case JERR_BAD_J_COLORSPACE:
    case JERR_CONVERSION_NOTIMPL:
        return PVE_JPEG_COLOURSPACE;
    default:
        return PVE_JPEG_CORRUPT;
    }
}

// Phase 1: the markers up to the first scan.
int32_t openJpeg(JpegState& s, const uint8_t* data, size_t size) {
    s.cinfo.err = jpeg_std_error(&s.errors);
    s.errors.error_exit = onError;
    s.errors.emit_message = onMessage;
    s.errors.output_message = silent;
    if (setjmp(s.jump)) return failure(s);
    jpeg_create_decompress(&s.cinfo);
    s.created = true;
    s.cinfo.client_data = &s;
    // Without a backing store, libjpeg fails cleanly past this instead of
    // allocating the coefficients of a huge progressive image.
    s.cinfo.mem->max_memory_to_use = long(ic::kMaxPixelBytes);
    jpeg_mem_src(&s.cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&s.cinfo, TRUE);
    return PVE_OK;
}

// Phase 2: output colour space and the start of decompression.
int32_t startJpeg(JpegState& s) {
    if (setjmp(s.jump)) return failure(s);
    switch (s.cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        s.cinfo.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_YCbCr:
    case JCS_RGB:
        s.cinfo.out_color_space = JCS_EXT_BGR;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        s.cinfo.out_color_space = JCS_CMYK;
        break;
    default:
        return PVE_JPEG_COLOURSPACE;
    }
    jpeg_start_decompress(&s.cinfo);
    return PVE_OK;
}

void cmykToBgr(const uint8_t* in, uint8_t* out, uint32_t width, bool inverted) {
    for (uint32_t x = 0; x < width; ++x, in += 4, out += 3) {
        // Adobe writes CMYK inverted: the stored values are 255 - ink.
        const uint32_t c = inverted ? in[0] : 255u - in[0];
        const uint32_t m = inverted ? in[1] : 255u - in[1];
        const uint32_t y = inverted ? in[2] : 255u - in[2];
        const uint32_t k = inverted ? in[3] : 255u - in[3];
        out[0] = uint8_t((y * k + 127) / 255);
        out[1] = uint8_t((m * k + 127) / 255);
        out[2] = uint8_t((c * k + 127) / 255);
    }
}

// Phase 3: the scanlines into the DIB; CMYK goes through cmykRow.
int32_t readLines(JpegState& s, ic::MutableDib& dib, uint8_t* cmykRow, const Progress& progress) {
    if (setjmp(s.jump)) return failure(s);
    const uint32_t height = s.cinfo.output_height;
    const uint32_t chunk = std::max(1u, height / 32);
    // A progressive file that ran short did so while its scans were being
    // absorbed: every row is still worth showing at the quality reached.
    const bool stopAtEnd = !s.hitEnd;
    const bool inverted = s.cinfo.saw_Adobe_marker;
    while (s.cinfo.output_scanline < height) {
        const uint32_t y = s.cinfo.output_scanline;
        uint8_t* row = dib.row(int32_t(y));
        JSAMPROW target = cmykRow ? cmykRow : row;
        if (jpeg_read_scanlines(&s.cinfo, &target, 1) != 1) break;
        if (cmykRow) cmykToBgr(cmykRow, row, s.cinfo.output_width, inverted);
        if (stopAtEnd && s.hitEnd) break;
        if (y % chunk == 0 && !progress.report(int32_t(uint64_t(y) * 98 / height)))
            return PVE_CANCELLED;
    }
    return PVE_OK;
}

int32_t decode(const uint8_t* data, size_t size, const Progress& progress, zp::GlobalBlock& out) {
    if (!data || !isJpeg(data, size)) return PVE_JPEG_NOT;
    JpegState s;
    JpegStructs owner(s);
    int32_t rc = openJpeg(s, data, size);
    if (rc != PVE_OK) return rc;
    const uint64_t w = s.cinfo.image_width;
    const uint64_t h = s.cinfo.image_height;
    if (w == 0 || h == 0) return PVE_BAD_SIZE;
    if (!ic::fitsLimits(w, h, s.cinfo.jpeg_color_space == JCS_GRAYSCALE ? 8 : 24))
        return PVE_TOO_LARGE;
    rc = startJpeg(s);
    if (rc != PVE_OK) return rc;
    const bool grey = s.cinfo.out_color_space == JCS_GRAYSCALE;
    RGBQUAD greys[256];
    for (int i = 0; i < 256; ++i)
        greys[i] = RGBQUAD{uint8_t(i), uint8_t(i), uint8_t(i), 0};
    zp::GlobalBlock picture(ic::createDib(int32_t(s.cinfo.output_width),
                                          int32_t(s.cinfo.output_height), grey ? 8 : 24,
                                          grey ? greys : nullptr, grey ? 256 : 0));
    if (!picture) return PVE_NO_MEMORY;
    ic::MutableDib dib(picture.get());
    if (!dib.ok()) return PVE_NO_MEMORY;
    std::vector<uint8_t> cmyk;
    if (s.cinfo.out_color_space == JCS_CMYK) cmyk.resize(size_t(s.cinfo.output_width) * 4);
    rc = readLines(s, dib, cmyk.empty() ? nullptr : cmyk.data(), progress);
    if (rc != PVE_OK) return rc;
    out = std::move(picture);
    return PVE_OK;
}

} // namespace

bool isJpeg(const uint8_t* data, size_t size) {
    return data && size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}

int32_t readJpegHeader(const uint8_t* data, size_t size, JpegHeader& out) {
    if (!data || !isJpeg(data, size)) return PVE_JPEG_NOT;
    try {
        JpegState s;
        JpegStructs owner(s);
        const int32_t rc = openJpeg(s, data, size);
        if (rc != PVE_OK) return rc;
        out.width = int32_t(s.cinfo.image_width);
        out.height = int32_t(s.cinfo.image_height);
        out.components = s.cinfo.num_components;
        out.progressive = s.cinfo.progressive_mode;
        return PVE_OK;
    } catch (const std::bad_alloc&) {
        return PVE_NO_MEMORY;
    }
}

int32_t decodeJpeg(const uint8_t* data, size_t size, const StillOptions& /*options*/,
                   const Progress& progress, zp::GlobalBlock& out) {
    return guarded([&] { return decode(data, size, progress, out); });
}

} // namespace gifcore
