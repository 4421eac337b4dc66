#include "libs/codec/core/GifDecoder.h"

#include "libs/codec/CodecErrors.h"
#include "libs/codec/core/LzwDecoder.h"
#include "libs/imagecore/Dib.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

namespace gifcore {

namespace {

constexpr uint8_t kExtension = 0x21;
constexpr uint8_t kImage = 0x2C;
constexpr uint8_t kTrailer = 0x3B;
constexpr uint8_t kGraphicControl = 0xF9;
constexpr uint8_t kComment = 0xFE;
constexpr uint8_t kApplication = 0xFF;
constexpr size_t kScreenDescriptorEnd = 13;

// Bounds-checked cursor; callers test has() before every read.
class Reader {
  public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool has(size_t n) const { return n <= size_ - pos_; }
    size_t remaining() const { return size_ - pos_; }
    uint8_t u8() { return data_[pos_++]; }
    uint16_t u16() {
        const uint16_t v = uint16_t(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    const uint8_t* here() const { return data_ + pos_; }
    void skip(size_t n) { pos_ += n; }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// False when the data ends before the terminating empty sub-block.
bool skipSubBlocks(Reader& r) {
    for (;;) {
        if (!r.has(1)) return false;
        const uint8_t n = r.u8();
        if (n == 0) return true;
        if (!r.has(n)) return false;
        r.skip(n);
    }
}

// Appends the sub-blocks' bytes to out; false when the data ends first
// (out then holds what there was).
bool joinSubBlocks(Reader& r, std::vector<uint8_t>& out) {
    // Sized by a walk over the lengths first: one allocation however long
    // the data, with room for a cut last sub-block and the LZW padding.
    size_t total = 0;
    for (Reader ahead = r; ahead.has(1);) {
        const uint8_t n = ahead.u8();
        if (n == 0 || !ahead.has(n)) break;
        ahead.skip(n);
        total += n;
    }
    out.reserve(out.size() + total + 255 + kLzwInputPadding);
    for (;;) {
        if (!r.has(1)) return false;
        const uint8_t n = r.u8();
        if (n == 0) return true;
        const size_t take = std::min<size_t>(n, r.remaining());
        out.insert(out.end(), r.here(), r.here() + take);
        r.skip(take);
        if (take < n) return false;
    }
}

bool readTable(Reader& r, uint8_t flags, GifColorTable& table) {
    table.count = 0;
    if (!(flags & 0x80)) return true;
    const uint16_t count = uint16_t(2u << (flags & 7));
    if (!r.has(size_t(count) * 3)) return false;
    std::memcpy(table.rgb, r.here(), size_t(count) * 3);
    r.skip(size_t(count) * 3);
    table.count = count;
    return true;
}

bool isLoopApplication(const uint8_t* id) {
    return std::memcmp(id, "NETSCAPE2.0", 11) == 0 || std::memcmp(id, "ANIMEXTS1.0", 11) == 0;
}

// Application extension after its label: picks up a loop count.
bool readApplication(Reader& r, GifSummary& summary) {
    if (!r.has(1)) return false;
    const uint8_t n = r.u8();
    if (n == 0) return true;
    if (!r.has(n)) return false;
    const bool loop = n == 11 && isLoopApplication(r.here());
    r.skip(n);
    if (loop && r.has(1) && r.here()[0] >= 3 && r.has(4) && r.here()[1] == 1) {
        if (!summary.hasLoopExtension) {
            summary.hasLoopExtension = true;
            summary.loops = uint16_t(r.here()[2] | (r.here()[3] << 8));
        }
    }
    return skipSubBlocks(r);
}

int32_t readScreen(Reader& r, GifScreen& screen) {
    if (!r.has(6))
        return r.has(3) && std::memcmp(r.here(), "GIF", 3) == 0 ? PVE_TRUNCATED : PVE_NOT_GIF;
    if (std::memcmp(r.here(), "GIF", 3) != 0) return PVE_NOT_GIF;
    r.skip(6);
    if (!r.has(7)) return PVE_TRUNCATED;
    screen.width = r.u16();
    screen.height = r.u16();
    const uint8_t flags = r.u8();
    screen.backgroundIndex = r.u8();
    screen.aspect = r.u8();
    // Sides are 16-bit, so only the memory of one byte per pixel can be too much.
    if (!ic::fitsLimits(screen.width, screen.height, 8)) return PVE_TOO_LARGE;
    if (!readTable(r, flags, screen.global)) return PVE_TRUNCATED;
    return PVE_OK;
}

} // namespace

int32_t GifImage::storedRow(int32_t y) const {
    if (!interlaced) return y;
    // Passes: every 8th row from 0, every 8th from 4, every 4th from 2, odd rows.
    const int32_t h = height;
    if (y % 8 == 0) return y / 8;
    const int32_t pass1 = (h + 7) / 8;
    if (y % 8 == 4) return pass1 + y / 8;
    const int32_t pass2 = (h + 3) / 8;
    if (y % 4 == 2) return pass1 + pass2 + y / 4;
    return pass1 + pass2 + (h + 1) / 4 + y / 2;
}

void defaultTable(int minCodeSize, GifColorTable& out) {
    const int count = 1 << std::clamp(minCodeSize, 1, 8);
    out.count = uint16_t(count);
    for (int i = 0; i < count; ++i) {
        const uint8_t v = i == 0 ? 0 : i == 1 ? 255 : uint8_t(i * 255 / (count - 1));
        out.rgb[i][0] = out.rgb[i][1] = out.rgb[i][2] = v;
    }
}

int32_t scanGif(const uint8_t* data, size_t size, GifScreen& screen, GifSummary& summary) {
    screen = GifScreen{};
    summary = GifSummary{};
    Reader r(data, size);
    const int32_t rc = readScreen(r, screen);
    if (rc != PVE_OK) return rc;
    uint32_t extentW = 0, extentH = 0;
    // Walk until the trailer or anything unreadable: the decoder reports
    // the reason; here only what is present counts.
    while (r.has(1)) {
        const uint8_t kind = r.u8();
        if (kind == kTrailer) break;
        if (kind == 0) continue;
        if (kind == kExtension) {
            if (!r.has(1)) break;
            const uint8_t label = r.u8();
            if (!(label == kApplication ? readApplication(r, summary) : skipSubBlocks(r))) break;
        } else if (kind == kImage) {
            if (!r.has(9)) break;
            const uint16_t left = r.u16(), top = r.u16(), w = r.u16(), h = r.u16();
            const uint8_t flags = r.u8();
            if (w && h) {
                if (summary.imageCount++ == 0) {
                    summary.firstInterlaced = flags & 0x40;
                    summary.firstLocalColors = (flags & 0x80) ? uint16_t(2u << (flags & 7)) : 0;
                    extentW = uint32_t(left) + w;
                    extentH = uint32_t(top) + h;
                }
            }
            if (flags & 0x80) {
                const size_t tableBytes = size_t(2u << (flags & 7)) * 3;
                if (!r.has(tableBytes)) break;
                r.skip(tableBytes);
            }
            if (!r.has(1)) break;
            r.skip(1);
            if (!skipSubBlocks(r)) break;
        } else {
            break;
        }
    }
    if (screen.width == 0) screen.width = uint16_t(std::min<uint32_t>(extentW, 0xFFFF));
    if (screen.height == 0) screen.height = uint16_t(std::min<uint32_t>(extentH, 0xFFFF));
    if (!ic::fitsLimits(screen.width, screen.height, 8)) return PVE_TOO_LARGE;
    return PVE_OK;
}

int32_t GifDecoder::decode(const uint8_t* data, size_t size, GifSink& sink) {
    GifScreen screen;
    GifSummary summary;
    const int32_t rc = scanGif(data, size, screen, summary);
    if (rc != PVE_OK) return rc;
    if (!sink.onStart(screen, summary) || !sink.onProgress(0)) return PVE_CANCELLED;

    Reader r(data, size);
    r.skip(kScreenDescriptorEnd + size_t(screen.global.count) * 3);
    GifControl pending;
    GifColorTable local, fallback;
    int32_t delivered = 0, lastPercent = 0;
    std::string comment;

    for (;;) {
        if (!r.has(1)) return delivered ? PVE_OK : PVE_TRUNCATED; // no trailer
        const uint8_t kind = r.u8();
        if (kind == kTrailer) return delivered ? PVE_OK : PVE_NO_IMAGE;
        if (kind == 0) continue;
        if (kind == kExtension) {
            if (!r.has(1)) return PVE_TRUNCATED;
            const uint8_t label = r.u8();
            if (label == kGraphicControl) {
                if (!r.has(1)) return PVE_TRUNCATED;
                const uint8_t n = r.u8();
                if (!r.has(n)) return PVE_TRUNCATED;
                if (n >= 4) {
                    const uint8_t* b = r.here();
                    pending.present = true;
                    pending.disposal = (b[0] >> 2) & 7;
                    pending.transparent = b[0] & 1;
                    pending.delay = uint16_t(b[1] | (b[2] << 8));
                    pending.transparentIndex = b[3];
                }
                r.skip(n);
                if (n != 0 && !skipSubBlocks(r)) return PVE_TRUNCATED;
            } else if (label == kComment) {
                lzw_.clear();
                if (!joinSubBlocks(r, lzw_)) return PVE_TRUNCATED;
                comment.assign(lzw_.begin(), lzw_.end());
                std::replace(comment.begin(), comment.end(), '\0', ' ');
                if (!sink.onComment(comment)) return PVE_CANCELLED;
            } else {
                // Loop counts came from the scan; plain text and unknown
                // extensions are not drawn. A plain-text block consumes the
                // control block before it.
                if (label == 0x01) pending = GifControl{};
                if (!skipSubBlocks(r)) return PVE_TRUNCATED;
            }
            continue;
        }
        if (kind != kImage) return delivered ? PVE_OK : PVE_BAD_LZW;

        if (!r.has(9)) return PVE_TRUNCATED;
        GifImage image;
        image.left = r.u16();
        image.top = r.u16();
        image.width = r.u16();
        image.height = r.u16();
        const uint8_t flags = r.u8();
        image.interlaced = flags & 0x40;
        if (!readTable(r, flags, local)) return PVE_TRUNCATED;
        image.control = pending;
        pending = GifControl{};
        if (image.width == 0 || image.height == 0) {
            if (!r.has(1)) return PVE_TRUNCATED;
            r.skip(1);
            if (!skipSubBlocks(r)) return PVE_TRUNCATED;
            continue;
        }
        const uint64_t total = uint64_t(image.width) * image.height;
        if (!ic::fitsLimits(image.width, image.height, 8) || total > options_.maxImagePixels)
            return PVE_TOO_LARGE;
        if (!r.has(1)) return PVE_TRUNCATED;
        const int minCodeSize = r.u8();
        if (minCodeSize < kMinLzwCodeSize || minCodeSize > kMaxLzwCodeSize) return PVE_BAD_LZW;
        lzw_.clear();
        const bool terminated = joinSubBlocks(r, lzw_);
        image.lzwBytes = uint32_t(lzw_.size());
        const size_t need = kLzwHeadroom + size_t(total) + kLzwTailroom;
        if (need > pixelsCapacity_) {
            pixels_.reset();
            pixelsCapacity_ = 0;
            try {
                pixels_.reset(new uint8_t[need]);
            } catch (const std::bad_alloc&) {
                return PVE_NO_MEMORY;
            }
            pixelsCapacity_ = need;
        }
        uint8_t* const pixels = pixels_.get() + kLzwHeadroom;
        const size_t lzwSize = lzw_.size();
        lzw_.resize(lzwSize + kLzwInputPadding); // read, never decoded
        const LzwResult result =
            decodeLzw(lzw_.data(), lzwSize, minCodeSize, pixels, size_t(total));
        if (result.status == LzwStatus::BadCode) return PVE_BAD_LZW;
        if (result.status == LzwStatus::ShortData) {
            if (!terminated) return PVE_TRUNCATED;
            const uint8_t fill = image.control.transparent ? image.control.transparentIndex : 0;
            std::fill(pixels + result.produced, pixels + total, fill);
            image.filled = true;
        }
        if (local.count) {
            image.local = &local;
            image.colors = &local;
        } else if (screen.global.count) {
            image.colors = &screen.global;
        } else {
            defaultTable(minCodeSize, fallback);
            image.colors = &fallback;
        }
        image.pixels = pixels;
        image.number = delivered;
        if (!sink.onImage(screen, image)) return PVE_CANCELLED;
        ++delivered;
        const int32_t percent = int32_t(std::min<int64_t>(
            100, int64_t(delivered) * 100 / std::max<int32_t>(summary.imageCount, 1)));
        if (percent != lastPercent) {
            lastPercent = percent;
            if (!sink.onProgress(percent)) return PVE_CANCELLED;
        }
        if (!terminated) return PVE_OK; // the file ends inside a finished image
    }
}

} // namespace gifcore
