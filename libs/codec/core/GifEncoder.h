#pragma once
// Our GIF89a writer: the blocks of a GIF stream in the order the caller asks
// for them, onto any ByteSink. It knows nothing of DIBs or callbacks, so the
// codec module and the benchmarks share it.
#include "libs/codec/core/ByteSink.h"
#include <cstddef>
#include <cstdint>
#include <vector>

namespace gifenc {

// Bits of a stored colour table for `colors` entries: tables hold a power of
// two entries, at least 2, so 1..8 (counts above 256 answer 8).
int tableBits(int colors);

struct ScreenInfo {
    uint16_t width = 0;
    uint16_t height = 0;
    const uint8_t* globalRgb = nullptr; // R G B triples; nullptr = no global table
    int globalColors = 0;               // 1..256, padded with black to 2^tableBits
    uint8_t background = 0;             // index into the global table
    uint8_t aspect = 0;                 // pixel aspect byte, 0 = not given
};

struct ControlInfo {
    uint8_t disposal = 0; // 0..7, stored in the low three bits
    bool transparent = false;
    uint8_t transparentIndex = 0; // written as given even without the flag
    uint16_t delay = 0;           // hundredths of a second
};

struct ImageInfo {
    uint16_t left = 0;
    uint16_t top = 0;
    uint16_t width = 0;  // 1..65535
    uint16_t height = 0; // 1..65535
    bool interlaced = false;
    const uint8_t* localRgb = nullptr; // nullptr = the image uses the global table
    int localColors = 0;
    int transparentIndex = -1; // kept exactly by a lossy stream; -1 = none
};

// How hard image() works on the LZW data. The default writes one greedy
// stream that clears the table when it fills.
struct LzwEffort {
    bool search = false; // try the clear strategies, keep the smallest stream
    int lossy = 0;       // 0 = exact; else a pixel may take a colour this close (RGB distance)
};

// Supplies row y (0 = top) of an image as `width` palette indices. The
// pointer must stay valid until the next call.
class RowSource {
  public:
    virtual ~RowSource() = default;
    virtual const uint8_t* row(int y) = 0;
};

// Rows of a contiguous top-down 8-bit index buffer.
class BufferRows final : public RowSource {
  public:
    BufferRows(const uint8_t* pixels, size_t stride) : pixels_(pixels), stride_(stride) {}
    const uint8_t* row(int y) override { return pixels_ + size_t(y) * stride_; }

  private:
    const uint8_t* pixels_;
    size_t stride_;
};

class GifEncoder {
  public:
    explicit GifEncoder(ByteSink& sink) : sink_(sink) {}

    // "GIF89a", the logical screen descriptor and the global table.
    bool begin(const ScreenInfo& screen);
    // NETSCAPE2.0 application extension; 0 = loop forever.
    bool loopExtension(uint16_t loops);
    // One comment extension, cut into 255-byte sub-blocks; an empty text
    // gives an extension with no sub-blocks.
    bool comment(const char* text, size_t length);
    bool graphicControl(const ControlInfo& control);
    // Image descriptor, local table and LZW data. Pixel indices must lie
    // within the table in force (local, else global); others are masked.
    bool image(const ImageInfo& info, RowSource& rows);
    // Sets the logical screen size after begin(): for a size known only once
    // every frame was seen.
    bool patchScreenSize(uint16_t width, uint16_t height);
    // The trailer byte.
    bool end();

    // Bits of the global table, 0 when there is none.
    int globalBits() const { return globalBits_; }
    void setEffort(const LzwEffort& effort) { effort_ = effort; }

  private:
    bool colorTable(const uint8_t* rgb, int colors, int bits);

    bool plannedImage(const ImageInfo& info, RowSource& rows, int bits);

    ByteSink& sink_;
    int globalBits_ = 0;
    std::vector<uint8_t> globalRgb_; // as stored, for lossy streams
    LzwEffort effort_;
    uint64_t screenOffset_ = 0;
};

} // namespace gifenc
