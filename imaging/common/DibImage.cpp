#include "imaging/common/DibImage.h"

#include "platform/GlobalMemory.h"

#include <algorithm>
#include <vector>

namespace dibimage {

namespace {

// The modules' limits: a side up to 65535 while the pixels, here as RGB32,
// stay within 1 GiB.
constexpr int64_t kMaxSide = 65535;
constexpr uint64_t kMaxPixelBytes = uint64_t(1) << 30;

// The part of a rectangle inside [0, width) x [0, height).
QRect clipTo(const QRect& r, int width, int height) {
    return r.intersected(QRect(0, 0, width, height));
}

bool drawable(const QImage& canvas) {
    return !canvas.isNull() &&
           (canvas.format() == QImage::Format_RGB32 || canvas.format() == QImage::Format_ARGB32 ||
            canvas.format() == QImage::Format_ARGB32_Premultiplied);
}

} // namespace

size_t BytesFrom(const void* dib) {
    const HGLOBAL block = dib ? GlobalHandle(dib) : 0;
    if (!block) return 0;
    // The lock only tells where the block starts; the caller holds its own.
    const auto* start = static_cast<const uint8_t*>(GlobalLock(block));
    GlobalUnlock(block);
    const auto* at = static_cast<const uint8_t*>(dib);
    const uint64_t size = GlobalSize(block);
    if (!start || at < start || uint64_t(at - start) > size) return 0;
    return size_t(size - uint64_t(at - start));
}

void DibLayout::convert(int y, int x, int count, QRgb* out) const {
    const uint8_t* r = row(y);
    switch (bits) {
    case 8:
        for (int i = 0; i < count; ++i)
            out[i] = table[r[x + i]];
        break;
    case 24: {
        const uint8_t* p = r + 3 * size_t(x);
        for (int i = 0; i < count; ++i, p += 3)
            out[i] = qRgb(p[2], p[1], p[0]);
        break;
    }
    case 32: {
        const uint8_t* p = r + 4 * size_t(x);
        for (int i = 0; i < count; ++i, p += 4) // the fourth byte is not alpha
            out[i] = qRgb(p[2], p[1], p[0]);
        break;
    }
    case 4:
        for (int i = 0; i < count; ++i) {
            const int c = x + i;
            out[i] = table[(r[c / 2] >> (c % 2 ? 0 : 4)) & 15];
        }
        break;
    default:
        for (int i = 0; i < count; ++i) {
            const int c = x + i;
            out[i] = table[(r[c / 8] >> (7 - c % 8)) & 1];
        }
        break;
    }
}

std::optional<DibLayout> ReadLayout(const BITMAPINFOHEADER* dib, size_t bytes) {
    if (!dib || bytes < sizeof(BITMAPINFOHEADER)) return std::nullopt;
    const BITMAPINFOHEADER h = *dib;
    if (h.biSize < 40 || h.biSize > bytes || h.biCompression != BI_RGB) return std::nullopt;
    DibLayout l;
    l.bits = h.biBitCount;
    if (l.bits != 1 && l.bits != 4 && l.bits != 8 && l.bits != 24 && l.bits != 32)
        return std::nullopt;
    const int64_t width = h.biWidth;
    const int64_t height = h.biHeight < 0 ? -int64_t(h.biHeight) : int64_t(h.biHeight);
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return std::nullopt;
    if (uint64_t(width * height) * 4 > kMaxPixelBytes) return std::nullopt;
    l.width = int(width);
    l.height = int(height);
    l.bottomUp = h.biHeight > 0;
    l.stride = size_t((width * l.bits + 31) / 32 * 4);

    // Same rule as the DIB wrapper: biClrUsed when set, else the depth's full table.
    const uint64_t colours = h.biClrUsed > 0 ? h.biClrUsed : (l.bits <= 8 ? 1u << l.bits : 0);
    const uint64_t pixelsAt = uint64_t(h.biSize) + 4 * colours;
    if (pixelsAt > bytes || (bytes - pixelsAt) / l.stride < uint64_t(height)) return std::nullopt;
    const auto* base = reinterpret_cast<const uint8_t*>(dib);
    l.pixels = base + pixelsAt;
    std::fill(std::begin(l.table), std::end(l.table), qRgb(0, 0, 0));
    if (l.bits <= 8) {
        const uint64_t used = std::min<uint64_t>(colours, 1u << l.bits);
        for (uint64_t i = 0; i < used; ++i) {
            const uint8_t* q = base + h.biSize + 4 * i;
            l.table[i] = qRgb(q[2], q[1], q[0]);
        }
    }
    return l;
}

QImage ToImage(const BITMAPINFOHEADER* dib, size_t bytes) {
    const auto layout = ReadLayout(dib, bytes);
    if (!layout) return {};
    QImage image(layout->width, layout->height, QImage::Format_RGB32);
    if (image.isNull()) return {};
    for (int y = 0; y < layout->height; ++y)
        layout->convert(y, 0, layout->width, reinterpret_cast<QRgb*>(image.scanLine(y)));
    return image;
}

QImage ToImage(const BITMAPINFOHEADER* dib) {
    return ToImage(dib, BytesFrom(dib));
}

bool Draw(QImage& canvas, QPoint at, const BITMAPINFOHEADER* dib, size_t bytes) {
    const auto layout = ReadLayout(dib, bytes);
    if (!layout || !drawable(canvas)) return false;
    const QRect placed(at, QSize(layout->width, layout->height));
    const QRect visible = clipTo(placed, canvas.width(), canvas.height());
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        auto* out = reinterpret_cast<QRgb*>(canvas.scanLine(y)) + visible.left();
        layout->convert(y - at.y(), visible.left() - at.x(), visible.width(), out);
    }
    return true;
}

bool Draw(QImage& canvas, QPoint at, const BITMAPINFOHEADER* dib) {
    return Draw(canvas, at, dib, BytesFrom(dib));
}

bool Stretch(QImage& canvas, const QRect& target, const BITMAPINFOHEADER* dib, size_t bytes,
             const QRect& source) {
    const auto layout = ReadLayout(dib, bytes);
    if (!layout || !drawable(canvas) || target.isEmpty() || source.isEmpty()) return false;
    const QRect visible = clipTo(target, canvas.width(), canvas.height());
    if (visible.isEmpty()) return true;

    // Nearest neighbour: target pixel t samples source pixel floor((t + 1/2) * s / T).
    const int64_t sw = source.width(), sh = source.height();
    const int64_t tw = target.width(), th = target.height();
    std::vector<int> columns(size_t(visible.width()));
    for (int x = visible.left(); x <= visible.right(); ++x)
        columns[size_t(x - visible.left())] =
            source.left() + int((2 * int64_t(x - target.left()) + 1) * sw / (2 * tw));
    // Only the source columns the target can see are converted, once per source row.
    const int firstColumn = std::max(0, std::min(columns.front(), columns.back()));
    const int lastColumn = std::min(layout->width - 1, std::max(columns.front(), columns.back()));
    std::vector<QRgb> sourceRow(size_t(std::max(0, lastColumn - firstColumn + 1)));

    int convertedRow = -1;
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        const int sy = source.top() + int((2 * int64_t(y - target.top()) + 1) * sh / (2 * th));
        if (sy < 0 || sy >= layout->height || sourceRow.empty()) continue;
        if (sy != convertedRow) {
            layout->convert(sy, firstColumn, int(sourceRow.size()), sourceRow.data());
            convertedRow = sy;
        }
        auto* out = reinterpret_cast<QRgb*>(canvas.scanLine(y)) + visible.left();
        for (size_t i = 0; i < columns.size(); ++i) {
            const int sx = columns[i];
            if (sx >= firstColumn && sx <= lastColumn) out[i] = sourceRow[size_t(sx - firstColumn)];
        }
    }
    return true;
}

bool Stretch(QImage& canvas, const QRect& target, const BITMAPINFOHEADER* dib,
             const QRect& source) {
    return Stretch(canvas, target, dib, BytesFrom(dib), source);
}

} // namespace dibimage
