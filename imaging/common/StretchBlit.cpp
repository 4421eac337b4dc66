#include "imaging/common/StretchBlit.h"

#include <algorithm>
#include <vector>

namespace zp {
namespace {

// The source span [first, last) that target pixel i of n covers along an
// axis of `length` source pixels starting at `origin`, clipped to [0, limit).
// A target pixel that covers no whole source pixel (enlarging) samples the
// pixel under its centre. Empty (first == last) when nothing valid is under it.
struct Span {
    int32_t first;
    int32_t last;
};

std::vector<Span> axisSpans(int32_t begin, int32_t end, int32_t targetStart, int32_t n,
                            int32_t origin, int32_t length, int32_t limit, bool sampleOnly) {
    std::vector<Span> spans;
    spans.reserve(size_t(std::max(0, end - begin)));
    for (int32_t t = begin; t < end; ++t) {
        const int64_t i = t - targetStart;
        int64_t first = i * length / n;
        int64_t last = (i + 1) * length / n;
        if (sampleOnly || last <= first) {
            first = (2 * i + 1) * length / (2 * int64_t(n));
            last = first + 1;
        }
        first = std::clamp<int64_t>(origin + first, 0, limit);
        last = std::clamp<int64_t>(origin + last, 0, limit);
        spans.push_back({int32_t(first), int32_t(std::max(first, last))});
    }
    return spans;
}

// Visible target range along one axis: inside the rectangle, the buffer and the clip.
void visibleRange(int32_t start, int32_t size, int32_t bufferSize, int32_t clipStart,
                  int32_t clipSize, int32_t& begin, int32_t& end) {
    begin = std::max({start, 0, clipStart});
    end = int32_t(
        std::min({int64_t(start) + size, int64_t(bufferSize), int64_t(clipStart) + clipSize}));
}

} // namespace

void StretchPixels(const PixelPlane& target, const QRect& to, const PixelPlane& source,
                   const QRect& from, StretchMode mode, const QRect& clip) {
    if (!target.bits || !source.bits || to.isEmpty() || from.isEmpty()) return;
    const QRect area = clip.isEmpty() ? QRect(0, 0, target.width, target.height) : clip;
    int32_t x0, x1, y0, y1;
    visibleRange(to.x(), to.width(), target.width, area.x(), area.width(), x0, x1);
    visibleRange(to.y(), to.height(), target.height, area.y(), area.height(), y0, y1);
    if (x0 >= x1 || y0 >= y1) return;

    const bool sample = mode == StretchMode::ColorOnColor;
    const auto cols =
        axisSpans(x0, x1, to.x(), to.width(), from.x(), from.width(), source.width, sample);
    const auto rows =
        axisSpans(y0, y1, to.y(), to.height(), from.y(), from.height(), source.height, sample);
    const bool isAnd = mode == StretchMode::BlackOnWhite;

    for (int32_t y = y0; y < y1; ++y) {
        const Span rs = rows[size_t(y - y0)];
        if (rs.first == rs.last) continue;
        uint32_t* out = target.bits + int64_t(y) * target.stride;
        const uint32_t* in = source.bits + int64_t(rs.first) * source.stride;
        for (int32_t x = x0; x < x1; ++x) {
            const Span cs = cols[size_t(x - x0)];
            if (cs.first == cs.last) continue;
            if (sample) {
                out[x] = in[cs.first] | 0xFF000000u;
                continue;
            }
            uint32_t acc = isAnd ? 0xFFFFFFFFu : 0u;
            for (int32_t sy = rs.first; sy < rs.last; ++sy) {
                const uint32_t* row = source.bits + int64_t(sy) * source.stride;
                for (int32_t sx = cs.first; sx < cs.last; ++sx)
                    acc = isAnd ? (acc & row[sx]) : (acc | row[sx]);
            }
            out[x] = acc | 0xFF000000u;
        }
    }
}

void StretchImage(QImage& target, const QRect& to, const QImage& source, const QRect& from,
                  StretchMode mode, const QRect& clip) {
    if (target.isNull() || source.isNull()) return;
    const auto is32 = [](QImage::Format f) {
        return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32;
    };
    if (!is32(target.format())) return;
    const QImage converted =
        is32(source.format()) ? QImage() : source.convertToFormat(QImage::Format_RGB32);
    const QImage& src = converted.isNull() ? source : converted;
    const PixelPlane out{reinterpret_cast<uint32_t*>(target.bits()), target.width(),
                         target.height(), int32_t(target.bytesPerLine() / 4)};
    const PixelPlane in{const_cast<uint32_t*>(reinterpret_cast<const uint32_t*>(src.constBits())),
                        src.width(), src.height(), int32_t(src.bytesPerLine() / 4)};
    StretchPixels(out, to, in, from, mode, clip);
}

} // namespace zp
