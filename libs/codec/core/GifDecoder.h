#pragma once
// GIF87a/89a decoder over a file held in memory. The decoder walks the
// blocks and reports what it finds to a sink; the codec's entry points, the
// fuzz target and the benchmark are all sinks of this one decoder.
//
// Leniency, as mainstream browsers decode:
//  * frames partly or wholly outside the logical screen are delivered as
//    stored (the descriptor carries their position);
//  * a missing trailer is fine once the last image is complete: a file that
//    ends at a block boundary, or inside an image whose pixels are all
//    decoded, succeeds;
//  * image data that is properly terminated (end code, or the sub-block
//    terminator) but holds fewer pixels than the image has is delivered with
//    the rest filled: the transparent index when the image has one (so the
//    missing part shows what lies beneath), else index 0; pixels past the
//    end are ignored;
//  * images of zero width or height are skipped (not delivered, not counted);
//  * a logical screen side of 0 takes the first image's extent (left + width,
//    top + height);
//  * stray 0x00 bytes between blocks are skipped; another unknown block ends
//    the file like a trailer when an image was delivered, else PVE_BAD_LZW;
//  * a graphic control block shorter than 4 bytes is ignored;
//  * an LZW code table that fills (4096 codes) without a clear code goes on
//    decoding with every entry as it stands, codes 12 bits, until a clear.
// Strictness, where safety needs it:
//  * a screen or image whose pixels (one byte each, in DIB rows) pass 1 GiB,
//    or an image above the decoder's pixel limit, is refused with
//    PVE_TOO_LARGE before anything is allocated for it; any 16-bit side is
//    legal on its own (a 65535 x 1 strip reads);
//  * an LZW minimum code size outside 1..8 or a code beyond the table gives
//    PVE_BAD_LZW after the images before it;
//  * a file that ends inside a block gives PVE_TRUNCATED after the images
//    completed before it.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace gifcore {

struct GifColorTable {
    uint16_t count = 0; // 0 = no table, else 2..256
    uint8_t rgb[256][3] = {};
};

struct GifScreen {
    uint16_t width = 0; // after a side of 0 took the first image's extent
    uint16_t height = 0;
    uint8_t backgroundIndex = 0;
    uint8_t aspect = 0; // the pixel aspect ratio byte as stored
    GifColorTable global;
};

// What a quick walk over the blocks finds, before any pixel is decoded.
struct GifSummary {
    int32_t imageCount = 0; // images of non-zero size whose descriptor is present
    bool hasLoopExtension = false;
    uint16_t loops = 0; // the loop extension's count (0 = for ever)
    bool firstInterlaced = false;
    uint16_t firstLocalColors = 0; // local table size of the first image, 0 = none
};

struct GifControl {
    bool present = false; // the image had a graphic control extension
    uint8_t disposal = 0; // 0..7 as stored
    bool transparent = false;
    uint16_t delay = 0; // hundredths of a second
    uint8_t transparentIndex = 0;
};

struct GifImage {
    int32_t number = 0; // 0-based among the delivered images
    uint16_t left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    const GifColorTable* local = nullptr;  // nullptr: no local table
    const GifColorTable* colors = nullptr; // in effect: local, else global, else defaultTable
    GifControl control;
    bool filled = false;             // data ended early; the rest was filled (see above)
    const uint8_t* pixels = nullptr; // width * height indices in stored row order
    // The image data's size, without the code size byte and sub-block lengths.
    uint32_t lzwBytes = 0;

    // Row y counted from the top of the picture, whatever the interlacing.
    const uint8_t* row(int32_t y) const { return pixels + size_t(storedRow(y)) * width; }
    int32_t storedRow(int32_t y) const;
};

// The table used when a file has neither a global nor a local table:
// 2^minCodeSize entries, entry 0 black, entry 1 white, the others a grey
// ramp (entry i = grey i * 255 / (count - 1)).
void defaultTable(int minCodeSize, GifColorTable& out);

class GifSink {
  public:
    virtual ~GifSink() = default;
    // Answering false stops the decoder with PVE_CANCELLED.
    virtual bool onStart(const GifScreen&, const GifSummary&) { return true; }
    virtual bool onComment(std::string_view /*text*/) { return true; }
    virtual bool onImage(const GifScreen&, const GifImage&) = 0;
    // 0 once at the start, then after each image when the percentage moved.
    virtual bool onProgress(int32_t /*percent*/) { return true; }
};

struct GifDecodeOptions {
    uint64_t maxImagePixels = uint64_t(1) << 30;
};

// Reads the header and walks the blocks without decoding pixels.
// Answers PVE_OK, or PVE_NOT_GIF / PVE_TRUNCATED / PVE_TOO_LARGE for the header.
int32_t scanGif(const uint8_t* data, size_t size, GifScreen& screen, GifSummary& summary);

class GifDecoder {
  public:
    explicit GifDecoder(GifDecodeOptions options = {}) : options_(options) {}
    // Answers PVE_OK (1) or a negative CodecError.
    int32_t decode(const uint8_t* data, size_t size, GifSink& sink);

  private:
    GifDecodeOptions options_;
    std::vector<uint8_t> lzw_; // the current image's data, sub-block framing removed
    // The current image's indices with the LZW decoder's scratch around
    // them; grown when an image needs more, never zero-filled (the decoder
    // writes every pixel it delivers).
    std::unique_ptr<uint8_t[]> pixels_;
    size_t pixelsCapacity_ = 0;
};

} // namespace gifcore
