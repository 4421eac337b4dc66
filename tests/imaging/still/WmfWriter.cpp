#include "WmfWriter.h"

#include "WidgetSupport.h"
#include <algorithm>

namespace wmftest {

std::vector<uint8_t> makeDib(int w, int h, int bits, const std::vector<uint32_t>& pixels) {
    std::vector<uint32_t> palette;
    if (bits <= 8)
        for (uint32_t p : pixels)
            if (std::find(palette.begin(), palette.end(), p) == palette.end()) palette.push_back(p);
    std::vector<uint8_t> d;
    auto put16 = WmfWriter::put16;
    auto put32 = WmfWriter::put32;
    put32(d, 40), put32(d, uint32_t(w)), put32(d, uint32_t(h));
    put16(d, 1), put16(d, uint16_t(bits));
    put32(d, 0), put32(d, 0), put32(d, 0), put32(d, 0);
    put32(d, uint32_t(palette.size())), put32(d, 0);
    for (uint32_t p : palette)
        d.push_back(uint8_t(p)), d.push_back(uint8_t(p >> 8)), d.push_back(uint8_t(p >> 16)),
            d.push_back(0);
    const size_t stride = size_t((w * bits + 31) / 32 * 4);
    for (int y = h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(stride, 0);
        for (int x = 0; x < w; ++x) {
            const uint32_t p = pixels[size_t(y * w + x)];
            const auto index =
                uint8_t(std::find(palette.begin(), palette.end(), p) - palette.begin());
            if (bits == 1) row[size_t(x / 8)] |= uint8_t(index << (7 - x % 8));
            if (bits == 4) row[size_t(x / 2)] |= uint8_t(index << (x % 2 ? 0 : 4));
            if (bits == 8) row[size_t(x)] = index;
            if (bits >= 24) {
                const size_t at = size_t(x) * size_t(bits / 8);
                row[at] = uint8_t(p), row[at + 1] = uint8_t(p >> 8), row[at + 2] = uint8_t(p >> 16);
            }
        }
        d.insert(d.end(), row.begin(), row.end());
    }
    return d;
}

void guiApp() {
    testsupport::widgetApp();
}

} // namespace wmftest
