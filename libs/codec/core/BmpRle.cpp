// Run-length BMP rows: encoded runs, absolute runs, line ends, jumps and the
// end code. Every write is clipped to the picture; every step consumes at
// least two bytes, so no input can loop.
#include "libs/codec/core/BmpDecoder.h"

#include <algorithm>

namespace gifcore {

namespace {

class RleTarget {
  public:
    RleTarget(ic::MutableDib& dib, bool fourBits)
        : dib_(dib), fourBits_(fourBits), width_(dib.view().width), height_(dib.view().height) {}

    bool done() const { return y_ >= height_; }
    int32_t y() const { return y_; }
    void put(uint8_t index) {
        if (x_ < width_ && y_ < height_) {
            uint8_t* row = dib_.row(height_ - 1 - y_); // runs start at the bottom row
            if (!fourBits_) {
                row[x_] = index;
            } else {
                uint8_t& b = row[x_ / 2];
                b = (x_ & 1) ? uint8_t((b & 0xF0) | index) : uint8_t((b & 0x0F) | index << 4);
            }
        }
        x_ = std::min(x_ + 1, width_);
    }
    void lineEnd() { x_ = 0, ++y_; }
    void jump(uint8_t dx, uint8_t dy) { x_ = std::min(x_ + dx, width_), y_ += dy; }

  private:
    ic::MutableDib& dib_;
    bool fourBits_;
    int32_t width_, height_;
    int32_t x_ = 0, y_ = 0;
};

} // namespace

void decodeBmpRle(const uint8_t* data, size_t size, bool fourBits, ic::MutableDib& dib,
                  const Progress& progress, bool& cancelled) {
    cancelled = false;
    RleTarget to(dib, fourBits);
    RowProgress rows(progress, dib.view().height);
    size_t pos = 0;
    while (pos + 2 <= size && !to.done()) {
        const uint8_t count = data[pos], value = data[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; ++i)
                to.put(fourBits ? uint8_t((i & 1) ? value & 0x0F : value >> 4) : value);
            continue;
        }
        const int32_t before = to.y();
        if (value == 0) {
            to.lineEnd();
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (pos + 2 > size) break;
            to.jump(data[pos], data[pos + 1]);
            pos += 2;
        } else {
            // Absolute run of `value` pixels, padded to a 16-bit boundary; a
            // cut run keeps the pixels present.
            const size_t bytes = fourBits ? (size_t(value) + 1) / 2 : value;
            const size_t have = std::min(bytes, size - pos);
            for (size_t i = 0; i < size_t(value); ++i) {
                const size_t at = fourBits ? i / 2 : i;
                if (at >= have) break;
                const uint8_t b = data[pos + at];
                to.put(fourBits ? uint8_t((i & 1) ? b & 0x0F : b >> 4) : b);
            }
            pos += std::min(bytes + (bytes & 1), size - pos);
        }
        if (to.y() != before && !rows.row(std::min(to.y(), dib.view().height))) {
            cancelled = true;
            return;
        }
    }
}

} // namespace gifcore
