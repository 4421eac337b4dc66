#include "imaging/common/DibImage.h"

#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

// A packed DIB in plain memory. value(x, y) is the palette index for 1, 4
// and 8 bits and 0xRRGGBB for 24 and 32 bits; palette entry i is
// qRgb(i, 255 - i, i / 2).
Bytes makeDib(int width, int height, int bits, bool topDown,
              const std::function<uint32_t(int, int)>& value) {
    const uint32_t colours = bits <= 8 ? 1u << bits : 0;
    const size_t stride = (size_t(width) * size_t(bits) + 31) / 32 * 4;
    Bytes b(40 + colours * 4 + stride * size_t(height));
    BITMAPINFOHEADER h{
        40, width, topDown ? -height : height, 1, uint16_t(bits), BI_RGB, 0, 0, 0, colours, 0};
    std::memcpy(b.data(), &h, 40);
    for (uint32_t i = 0; i < colours; ++i) {
        b[40 + 4 * i] = uint8_t(i / 2);
        b[41 + 4 * i] = uint8_t(255 - i);
        b[42 + 4 * i] = uint8_t(i);
    }
    uint8_t* pixels = b.data() + 40 + colours * 4;
    for (int y = 0; y < height; ++y) {
        uint8_t* row = pixels + stride * size_t(topDown ? y : height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const uint32_t v = value(x, y);
            if (bits == 1)
                row[x / 8] |= uint8_t((v & 1) << (7 - x % 8));
            else if (bits == 4)
                row[x / 2] |= uint8_t((v & 15) << (x % 2 ? 0 : 4));
            else if (bits == 8)
                row[x] = uint8_t(v);
            else
                for (int c = 0; c < bits / 8; ++c) // B, G, R (, undefined fourth byte)
                    row[x * bits / 8 + c] = c == 3 ? 0x5A : uint8_t(v >> (8 * c));
        }
    }
    return b;
}

const BITMAPINFOHEADER* header(const Bytes& b) {
    return reinterpret_cast<const BITMAPINFOHEADER*>(b.data());
}

QRgb expected(int bits, uint32_t v) {
    if (bits > 8) return qRgb(int(v >> 16 & 255), int(v >> 8 & 255), int(v & 255));
    return qRgb(int(v), int(255 - v), int(v / 2));
}

TEST(DibImage, EveryDepthAndRowOrderConvertsToTheTableColours) {
    struct Row {
        int bits;
        bool topDown;
    } rows[] = {{1, false},  {4, false}, {8, false}, {24, false},
                {32, false}, {8, true},  {24, true}};
    for (const Row& r : rows) {
        const int w = 13, h = 7; // odd width: rows are padded
        auto value = [&](int x, int y) -> uint32_t {
            if (r.bits <= 8) return uint32_t(x * 3 + y * 5) % (1u << r.bits);
            return uint32_t(x * 19) << 16 | uint32_t(y * 31) << 8 | uint32_t(x + y);
        };
        const Bytes dib = makeDib(w, h, r.bits, r.topDown, value);
        const QImage image = dibimage::ToImage(header(dib), dib.size());
        ASSERT_EQ(image.size(), QSize(w, h)) << r.bits;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                ASSERT_EQ(image.pixel(x, y), expected(r.bits, value(x, y)))
                    << r.bits << " bits " << x << "," << y << (r.topDown ? " top-down" : "");
    }
}

TEST(DibImage, DrawIsClippedAndLeavesTheRestOfTheCanvas) {
    const Bytes dib = makeDib(6, 4, 8, false, [](int x, int y) { return uint32_t(10 * y + x); });
    struct Row {
        QPoint at;
    } rows[] = {{{0, 0}}, {{-3, -2}}, {{7, 5}}, {{-10, 0}}, {{2, 9}}};
    for (const Row& r : rows) {
        QImage canvas(9, 7, QImage::Format_RGB32);
        canvas.fill(qRgb(1, 2, 3));
        ASSERT_TRUE(dibimage::Draw(canvas, r.at, header(dib), dib.size()));
        for (int y = 0; y < canvas.height(); ++y)
            for (int x = 0; x < canvas.width(); ++x) {
                const int sx = x - r.at.x(), sy = y - r.at.y();
                const bool inside = sx >= 0 && sx < 6 && sy >= 0 && sy < 4;
                ASSERT_EQ(canvas.pixel(x, y),
                          inside ? expected(8, uint32_t(10 * sy + sx)) : qRgb(1, 2, 3))
                    << r.at.x() << "," << r.at.y() << " at " << x << "," << y;
            }
    }
}

TEST(DibImage, StretchSamplesTheNearestSourcePixel) {
    const Bytes dib = makeDib(4, 4, 8, false, [](int x, int y) { return uint32_t(10 * y + x); });
    struct Row {
        QRect target, source;
        // expected source pixel for a target pixel, or (-1, -1) for untouched
        std::function<QPoint(int, int)> from;
    } rows[] = {
        // doubled: each source pixel covers 2 x 2 target pixels
        {{0, 0, 8, 8}, {0, 0, 4, 4}, [](int x, int y) { return QPoint(x / 2, y / 2); }},
        // halved: target pixel t samples source 2t + 1
        {{0, 0, 2, 2},
         {0, 0, 4, 4},
         [](int x, int y) {
             return x < 2 && y < 2 ? QPoint(2 * x + 1, 2 * y + 1) : QPoint(-1, -1);
         }},
        // a source window copied 1:1 to an offset target
        {{3, 1, 2, 3},
         {1, 1, 2, 3},
         [](int x, int y) {
             return x >= 3 && x < 5 && y >= 1 && y < 4 ? QPoint(x - 2, y) : QPoint(-1, -1);
         }},
        // source partly outside the picture: those target pixels stay
        {{0, 0, 4, 4},
         {2, 2, 4, 4},
         [](int x, int y) { return x < 2 && y < 2 ? QPoint(x + 2, y + 2) : QPoint(-1, -1); }},
    };
    for (const Row& r : rows) {
        QImage canvas(8, 8, QImage::Format_RGB32);
        canvas.fill(qRgb(1, 2, 3));
        ASSERT_TRUE(dibimage::Stretch(canvas, r.target, header(dib), dib.size(), r.source));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const QPoint s = r.from(x, y);
                const QRgb want =
                    s.x() < 0 ? qRgb(1, 2, 3) : expected(8, uint32_t(10 * s.y() + s.x()));
                ASSERT_EQ(canvas.pixel(x, y), want) << "target " << r.target.x() << ","
                                                    << r.target.width() << " at " << x << "," << y;
            }
    }
}

TEST(DibImage, UnreadablePicturesDrawNothing) {
    const Bytes good = makeDib(8, 8, 8, false, [](int x, int) { return uint32_t(x); });
    auto with = [&](const std::function<void(BITMAPINFOHEADER&)>& change) {
        Bytes b = good;
        BITMAPINFOHEADER h;
        std::memcpy(&h, b.data(), 40);
        change(h);
        std::memcpy(b.data(), &h, 40);
        return b;
    };
    struct Row {
        const char* what;
        Bytes bytes;
        size_t size;
    } rows[] = {
        {"rows cut short", good, good.size() - 1},
        {"header only", good, 40},
        {"shorter than a header", good, 39},
        {"compressed", with([](auto& h) { h.biCompression = 1; }), good.size()},
        {"16 bits", with([](auto& h) { h.biBitCount = 16; }), good.size()},
        {"zero width", with([](auto& h) { h.biWidth = 0; }), good.size()},
        {"negative width", with([](auto& h) { h.biWidth = -8; }), good.size()},
        {"huge height", with([](auto& h) { h.biHeight = 1 << 30; }), good.size()},
        {"most negative height", with([](auto& h) { h.biHeight = INT32_MIN; }), good.size()},
        {"table past the end", with([](auto& h) { h.biClrUsed = 0x40000000; }), good.size()},
        {"header size past the end", with([](auto& h) { h.biSize = 0x7FFFFFFF; }), good.size()},
    };
    ASSERT_FALSE(dibimage::ToImage(header(good), good.size()).isNull());
    for (const Row& r : rows) {
        QImage canvas(8, 8, QImage::Format_RGB32);
        canvas.fill(qRgb(1, 2, 3));
        EXPECT_TRUE(dibimage::ToImage(header(r.bytes), r.size).isNull()) << r.what;
        EXPECT_FALSE(dibimage::Draw(canvas, {0, 0}, header(r.bytes), r.size)) << r.what;
        EXPECT_FALSE(dibimage::Stretch(canvas, {0, 0, 8, 8}, header(r.bytes), r.size, {0, 0, 8, 8}))
            << r.what;
        EXPECT_EQ(canvas.pixel(0, 0), qRgb(1, 2, 3)) << r.what;
    }
    // Memory outside any global block has no known length: nothing is read.
    EXPECT_EQ(dibimage::BytesFrom(good.data()), 0u);
    QImage canvas(8, 8, QImage::Format_RGB32);
    EXPECT_FALSE(dibimage::Draw(canvas, {0, 0}, header(good)));
}

} // namespace
