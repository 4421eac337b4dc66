#pragma once
// One picture on its way into a GIF: the caller's packed DIB read under a
// lock (never changed or freed), or, for a true-colour DIB, our reduced
// 8-bit copy; with the colour table as the GIF will store it and the rows as
// 8-bit indices.
#include "libs/codec/core/GifEncoder.h"
#include "libs/imagecore/Dib.h"
#include "platform/GlobalBlock.h"
#include <cstdint>
#include <vector>

namespace gifenc {

class DibFrame final : public RowSource {
  public:
    DibFrame() = default;
    ~DibFrame() override;
    DibFrame(const DibFrame&) = delete;
    DibFrame& operator=(const DibFrame&) = delete;

    // Locks and checks the DIB; a 24-bit one is reduced to 8 bits with an
    // optimal, dithered palette. Answers 1 or a CodecError: PVE_NO_FRAME for
    // handle 0, PVE_TOO_LARGE above the side limit, PVE_BAD_DIB when the
    // handle or its contents are not a DIB we read, PVE_NO_MEMORY.
    int32_t load(HGLOBAL dib);

    int width() const { return view_.width; }
    int height() const { return view_.height; }
    bool reduced() const { return reduced_.get() != 0; }
    // R G B triples: the DIB's table, grown with black entries when pixels
    // use indices beyond it (a DIB shows those black), so every index the
    // GIF stores has a colour.
    const std::vector<uint8_t>& rgb() const { return rgb_; }
    int colors() const { return int(rgb_.size() / 3); }
    // Whether `other` stores exactly the same table (same padded size,
    // same entries): then the pixels show the same colours under it.
    bool sameTable(const std::vector<uint8_t>& otherRgb) const;

    const uint8_t* row(int y) override;

  private:
    void release();
    int maxIndex() const;

    HGLOBAL locked_ = 0;
    zp::GlobalBlock reduced_;
    ic::DibView view_;
    std::vector<uint8_t> rgb_;
    std::vector<uint8_t> unpacked_;
};

} // namespace gifenc
