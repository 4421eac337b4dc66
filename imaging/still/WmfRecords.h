#pragma once
// Windows Metafile parsing, free of any painter: the headers are validated and
// the record stream is split into bounds-checked records that the player (or
// a fuzzer) walks. Nothing here trusts a size or count from the file.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace wmf {

// Record function codes of the kinds the player knows.
enum Function : uint16_t {
    kEof = 0x0000,
    kSaveDc = 0x001E,
    kRealizePalette = 0x0035,
    kSetBkMode = 0x0102,
    kSetMapMode = 0x0103,
    kSetRop2 = 0x0104,
    kSetPolyFillMode = 0x0106,
    kSetStretchBltMode = 0x0107,
    kRestoreDc = 0x0127,
    kSelectObject = 0x012D,
    kSetTextAlign = 0x012E,
    kDibCreatePatternBrush = 0x0142,
    kDeleteObject = 0x01F0,
    kCreatePatternBrush = 0x01F9,
    kCreatePalette = 0x00F7,
    kSetBkColor = 0x0201,
    kSetTextColor = 0x0209,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kSetViewportOrg = 0x020D,
    kSetViewportExt = 0x020E,
    kOffsetWindowOrg = 0x020F,
    kLineTo = 0x0213,
    kMoveTo = 0x0214,
    kSelectPalette = 0x0234,
    kCreatePenIndirect = 0x02FA,
    kCreateFontIndirect = 0x02FB,
    kCreateBrushIndirect = 0x02FC,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kScaleWindowExt = 0x0410,
    kExcludeClipRect = 0x0415,
    kIntersectClipRect = 0x0416,
    kEllipse = 0x0418,
    kRectangle = 0x041B,
    kTextOut = 0x0521,
    kPolyPolygon = 0x0538,
    kRoundRect = 0x061C,
    kPatBlt = 0x061D,
    kCreateRegion = 0x06FF,
    kArc = 0x0817,
    kPie = 0x081A,
    kChord = 0x0830,
    kDibBitBlt = 0x0940,
    kExtTextOut = 0x0A32,
    kDibStretchBlt = 0x0B41,
    kStretchDib = 0x0F43,
};

inline constexpr uint32_t kPlaceableKey = 0x9AC6CDD7u;
// Playback stops after this many records, so a file cannot keep a caller busy.
inline constexpr size_t kMaxRecords = 1'000'000;
// Files above this size are refused before parsing.
inline constexpr size_t kMaxFileBytes = size_t(256) << 20;

// One record: its function and its parameter words, inside the file bytes.
struct Record {
    uint16_t function = 0;
    size_t offset = 0; // first parameter byte
    size_t words = 0;  // parameter words (16-bit) after the 6-byte record header
};

// Bounds-checked reading of one record's parameters; reads past the end
// answer 0, and has() says whether a record carries enough words.
class Params {
  public:
    Params(std::span<const uint8_t> file, const Record& r)
        : data_(file.data() + r.offset), words_(r.words) {}
    size_t words() const { return words_; }
    bool has(size_t n) const { return n <= words_; }
    uint16_t u16(size_t i) const {
        return i < words_ ? uint16_t(data_[2 * i] | data_[2 * i + 1] << 8) : 0;
    }
    int16_t s16(size_t i) const { return int16_t(u16(i)); }
    uint32_t u32(size_t i) const { return u16(i) | uint32_t(u16(i + 1)) << 16; }
    // Raw bytes from word i on, clipped to the record.
    std::span<const uint8_t> bytes(size_t i) const {
        return i < words_ ? std::span(data_ + 2 * i, 2 * (words_ - i)) : std::span<const uint8_t>();
    }

  private:
    const uint8_t* data_;
    size_t words_;
};

struct Document {
    bool placeable = false;
    int16_t left = 0, top = 0, right = 0, bottom = 0; // placeable bounding box
    uint16_t unitsPerInch = 0;                        // placeable only
    uint16_t objectCount = 0;                         // from the META header
    std::vector<Record> records;                      // up to and including EOF
    bool truncated = false;                           // the stream ended without an EOF record
    // The first window origin and extent set before drawing (non-placeable size).
    bool hasWindowExt = false;
    int16_t windowOrgX = 0, windowOrgY = 0, windowExtX = 0, windowExtY = 0;
};

// Validates the headers and splits the records. Answers false with a reason
// when the headers are unusable; a damaged record stream only ends the list
// early (truncated = true), as other players draw what comes before.
bool Parse(std::span<const uint8_t> file, Document& doc, std::string& error);

// Natural size in pixels at 96 dpi (placeable) or the window extent; 0 x 0
// when the file gives none. Each side is clamped to 16384.
void NaturalSize(const Document& doc, int32_t& width, int32_t& height);

} // namespace wmf
