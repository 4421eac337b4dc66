#include "libs/codec/core/EpsDecoder.h"

#include "libs/codec/CodecErrors.h"
#include "libs/imagecore/Dib.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace gifcore {

namespace {

constexpr uint8_t kBinaryMagic[4] = {0xC5, 0xD0, 0xD3, 0xC6};
constexpr size_t kBinaryHeaderSize = 30;

uint32_t littleEndian32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

bool isPostScript(const uint8_t* data, size_t size) {
    return size >= 2 && data[0] == '%' && data[1] == '!';
}

// The TIFF section seen by libtiff as a read-only file.
struct MemoryFile {
    const uint8_t* data;
    uint64_t size;
    uint64_t pos;
};

tmsize_t memRead(thandle_t h, void* buffer, tmsize_t count) {
    auto* f = static_cast<MemoryFile*>(h);
    if (count <= 0 || f->pos >= f->size) return 0;
    const uint64_t n = std::min<uint64_t>(uint64_t(count), f->size - f->pos);
    std::memcpy(buffer, f->data + f->pos, size_t(n));
    f->pos += n;
    return tmsize_t(n);
}

tmsize_t memWrite(thandle_t, void*, tmsize_t) {
    return -1;
}

toff_t memSeek(thandle_t h, toff_t offset, int whence) {
    auto* f = static_cast<MemoryFile*>(h);
    uint64_t base = 0;
    if (whence == SEEK_CUR) base = f->pos;
    if (whence == SEEK_END) base = f->size;
    if (offset > UINT64_MAX - base) return toff_t(-1);
    f->pos = base + offset;
    return f->pos;
}

int memClose(thandle_t) {
    return 0;
}
toff_t memSize(thandle_t h) {
    return static_cast<MemoryFile*>(h)->size;
}
int memMap(thandle_t, void**, toff_t*) {
    return 0;
}
void memUnmap(thandle_t, void*, toff_t) {}

// libtiff's complaints are answered with an error code, not printed.
int quiet(TIFF*, void*, const char*, const char*, va_list) {
    return 1;
}

// An open TIFF over the preview section, closed however the decode ends.
class Preview {
  public:
    Preview(const uint8_t* data, size_t size) : file_{data, size, 0} {
        TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
        if (!options) return;
        TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(256) << 20);
        TIFFOpenOptionsSetErrorHandlerExtR(options, quiet, nullptr);
        TIFFOpenOptionsSetWarningHandlerExtR(options, quiet, nullptr);
        tiff_ = TIFFClientOpenExt("preview", "rm", &file_, memRead, memWrite, memSeek, memClose,
                                  memSize, memMap, memUnmap, options);
        TIFFOpenOptionsFree(options);
    }
    ~Preview() {
        if (tiff_) TIFFClose(tiff_);
    }
    Preview(const Preview&) = delete;
    Preview& operator=(const Preview&) = delete;
    TIFF* get() const { return tiff_; }

  private:
    MemoryFile file_;
    TIFF* tiff_ = nullptr;
};

class RgbaReader {
  public:
    explicit RgbaReader(TIFF* tiff) { ok_ = TIFFRGBAImageBegin(&image_, tiff, 0, message_) != 0; }
    ~RgbaReader() {
        if (ok_) TIFFRGBAImageEnd(&image_);
    }
    RgbaReader(const RgbaReader&) = delete;
    RgbaReader& operator=(const RgbaReader&) = delete;
    bool ok() const { return ok_; }
    TIFFRGBAImage& image() { return image_; }

  private:
    TIFFRGBAImage image_ = {};
    char message_[1024] = {};
    bool ok_ = false;
};

// Width and height of the preview, refused beyond the limits.
int32_t previewSize(TIFF* tiff, uint32_t& width, uint32_t& height) {
    if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height))
        return PVE_EPS_BAD_PREVIEW;
    if (width == 0 || height == 0) return PVE_BAD_SIZE;
    if (!ic::fitsLimits(width, height, 24)) return PVE_TOO_LARGE;
    return PVE_OK;
}

// The premultiplied ABGR raster of libtiff over white.
void toBgr(const uint32_t* in, uint8_t* out, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x, out += 3) {
        const uint32_t p = in[x];
        const uint32_t white = 255 - TIFFGetA(p);
        out[0] = uint8_t(std::min<uint32_t>(255, TIFFGetB(p) + white));
        out[1] = uint8_t(std::min<uint32_t>(255, TIFFGetG(p) + white));
        out[2] = uint8_t(std::min<uint32_t>(255, TIFFGetR(p) + white));
    }
}

int32_t decodePreview(const uint8_t* data, size_t size, const Progress& progress,
                      zp::GlobalBlock& out) {
    Preview preview(data, size);
    if (!preview.get()) return PVE_EPS_BAD_PREVIEW;
    uint32_t width = 0, height = 0;
    int32_t rc = previewSize(preview.get(), width, height);
    if (rc != PVE_OK) return rc;
    RgbaReader reader(preview.get());
    if (!reader.ok()) return PVE_EPS_BAD_PREVIEW;
    TIFFRGBAImage& image = reader.image();
    image.req_orientation = ORIENTATION_TOPLEFT;

    zp::GlobalBlock picture(ic::createDib(int32_t(width), int32_t(height), 24, nullptr));
    if (!picture) return PVE_NO_MEMORY;
    ic::MutableDib dib(picture.get());
    if (!dib.ok()) return PVE_NO_MEMORY;
    // Rows in chunks of about 4 MiB of raster, for progress and memory.
    const uint32_t chunk = std::clamp<uint32_t>((4u << 20) / (width * 4), 1, height);
    std::vector<uint32_t> raster(size_t(width) * chunk);
    for (uint32_t y = 0; y < height; y += chunk) {
        const uint32_t rows = std::min(chunk, height - y);
        image.row_offset = int(y);
        image.col_offset = 0;
        if (!TIFFRGBAImageGet(&image, raster.data(), width, rows)) return PVE_EPS_BAD_PREVIEW;
        for (uint32_t r = 0; r < rows; ++r)
            toBgr(raster.data() + size_t(r) * width, dib.row(int32_t(y + r)), width);
        if (!progress.report(int32_t(uint64_t(y + rows) * 98 / height))) return PVE_CANCELLED;
    }
    out = std::move(picture);
    return PVE_OK;
}

// "%%BoundingBox: llx lly urx ury" within the PostScript text.
void boundingBox(std::string_view text, EpsInfo& out) {
    const std::string_view key = "%%BoundingBox:";
    const size_t at = text.find(key);
    if (at == std::string_view::npos) return;
    std::string line(text.substr(at + key.size(), 80));
    long v[4] = {};
    if (std::sscanf(line.c_str(), "%ld %ld %ld %ld", &v[0], &v[1], &v[2], &v[3]) != 4) return;
    const long w = v[2] - v[0], h = v[3] - v[1];
    if (w > 0 && h > 0 && w <= 1000000 && h <= 1000000) {
        out.width = int32_t(w);
        out.height = int32_t(h);
    }
}

} // namespace

bool isEps(const uint8_t* data, size_t size) {
    if (!data) return false;
    if (size >= 4 && std::memcmp(data, kBinaryMagic, 4) == 0) return true;
    if (!isPostScript(data, size)) return false;
    const std::string_view head(reinterpret_cast<const char*>(data), std::min<size_t>(size, 80));
    const std::string_view firstLine = head.substr(0, head.find_first_of("\r\n"));
    return firstLine.find("EPSF") != std::string_view::npos;
}

int32_t readEpsSections(const uint8_t* data, size_t size, EpsSections& out) {
    if (!data || size < 4 || std::memcmp(data, kBinaryMagic, 4) != 0) return PVE_EPS_NOT;
    if (size < kBinaryHeaderSize) return PVE_EPS_BAD_HEADER;
    uint32_t v[6];
    for (int i = 0; i < 6; ++i)
        v[i] = littleEndian32(data + 4 + 4 * i);
    for (int i = 0; i < 6; i += 2)
        if (v[i + 1] != 0 && (v[i] < kBinaryHeaderSize || v[i] > size || v[i + 1] > size - v[i]))
            return PVE_EPS_BAD_HEADER;
    out = EpsSections{v[0], v[1], v[2], v[3], v[4], v[5]};
    return PVE_OK;
}

int32_t readEpsInfo(const uint8_t* data, size_t size, EpsInfo& out) {
    EpsSections sections;
    const int32_t rc = readEpsSections(data, size, sections);
    if (rc == PVE_EPS_NOT) {
        if (!data || !isPostScript(data, size)) return rc;
        boundingBox({reinterpret_cast<const char*>(data), std::min<size_t>(size, 65536)}, out);
        return PVE_OK;
    }
    if (rc != PVE_OK) return rc;
    out.hasWmf = sections.wmfLength != 0;
    out.hasTiff = sections.tiffLength != 0;
    if (!out.hasTiff) {
        boundingBox({reinterpret_cast<const char*>(data) + sections.postScriptOffset,
                     std::min<size_t>(sections.postScriptLength, 65536)},
                    out);
        return PVE_OK;
    }
    Preview preview(data + sections.tiffOffset, sections.tiffLength);
    if (!preview.get()) return PVE_EPS_BAD_PREVIEW;
    uint32_t width = 0, height = 0;
    uint16_t bits = 1, samples = 1;
    TIFFGetFieldDefaulted(preview.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(preview.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    const int32_t sized = previewSize(preview.get(), width, height);
    if (sized != PVE_OK && sized != PVE_TOO_LARGE) return sized;
    out.width = int32_t(width);
    out.height = int32_t(height);
    out.bitsPerPixel = int32_t(bits) * samples;
    return PVE_OK;
}

int32_t decodeEps(const uint8_t* data, size_t size, const StillOptions& /*options*/,
                  const Progress& progress, zp::GlobalBlock& out) {
    return guarded([&]() -> int32_t {
        EpsSections sections;
        const int32_t rc = readEpsSections(data, size, sections);
        if (rc == PVE_EPS_NOT && data && isPostScript(data, size)) return PVE_EPS_NO_PREVIEW;
        if (rc != PVE_OK) return rc;
        if (sections.tiffLength == 0) return PVE_EPS_NO_PREVIEW;
        return decodePreview(data + sections.tiffOffset, sections.tiffLength, progress, out);
    });
}

} // namespace gifcore
