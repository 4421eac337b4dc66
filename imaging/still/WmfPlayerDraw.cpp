// Text and bitmap records of the metafile player.
#include "imaging/still/WmfDib.h"
#include "imaging/still/WmfPlayer.h"

#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

using namespace wmf;

namespace {

constexpr uint16_t kTaUpdateCp = 1, kTaRight = 2, kTaCenter = 6, kTaBottom = 8, kTaBaseline = 24;
constexpr uint16_t kEtoOpaque = 2, kEtoClipped = 4;
constexpr uint32_t kSrcAnd = 0x008800C6, kSrcPaint = 0x00EE0086, kSrcInvert = 0x00660046,
                   kNotSrcCopy = 0x00330008, kBlackness = 0x00000042, kWhiteness = 0x00FF0062,
                   kDstInvert = 0x00550009, kPatInvert = 0x005A0049;
// Text larger than this many device pixels is drawn at this size.
constexpr double kMaxTextPixels = 2048;

QPainter::CompositionMode blitMode(uint32_t rop) {
    switch (rop) {
    case kSrcAnd:
        return QPainter::RasterOp_SourceAndDestination;
    case kSrcPaint:
        return QPainter::RasterOp_SourceOrDestination;
    case kSrcInvert:
    case kPatInvert:
        return QPainter::RasterOp_SourceXorDestination;
    case kNotSrcCopy:
        return QPainter::RasterOp_NotSource;
    case kDstInvert:
        return QPainter::RasterOp_NotDestination;
    default:
        return QPainter::CompositionMode_SourceOver;
    }
}

} // namespace

void WmfPlayer::playText(uint16_t function, const Params& p) {
    QByteArray text;
    std::vector<int16_t> dx;
    QPointF at;
    QRectF rect;
    uint16_t options = 0;
    if (function == kTextOut) {
        const int n = p.s16(0);
        const size_t words = n > 0 ? (size_t(n) + 1) / 2 : 0;
        if (n <= 0 || !p.has(3 + words)) return;
        text = QByteArray(reinterpret_cast<const char*>(p.bytes(1).data()), n);
        at = QPointF(p.s16(2 + words), p.s16(1 + words));
    } else {
        if (!p.has(4)) return;
        at = QPointF(p.s16(1), p.s16(0));
        const int n = std::max<int>(p.s16(2), 0);
        options = p.u16(3);
        size_t first = 4;
        if (options & (kEtoOpaque | kEtoClipped)) {
            if (!p.has(8)) return;
            // Left, top, right, bottom here, unlike the shape records.
            rect = QRectF(QPointF(p.s16(4), p.s16(5)), QPointF(p.s16(6), p.s16(7))).normalized();
            first = 8;
        }
        const size_t words = (size_t(n) + 1) / 2;
        if (!p.has(first + words)) return;
        text = QByteArray(reinterpret_cast<const char*>(p.bytes(first).data()), n);
        // Character advances are optional; used only when all are present.
        if (p.has(first + words + size_t(n)))
            for (int i = 0; i < n; ++i)
                dx.push_back(p.s16(first + words + size_t(i)));
    }
    if (state_.textAlign & kTaUpdateCp) at = state_.position;
    const bool clipped = (options & kEtoClipped) && !rect.isEmpty();
    const bool opaque = (options & kEtoOpaque) && !rect.isEmpty();
    drawTextRun(at, text, dx, clipped ? &rect : nullptr, opaque ? &rect : nullptr);
}

void WmfPlayer::drawTextRun(QPointF at, const QByteArray& bytes, const std::vector<int16_t>& dx,
                            const QRectF* clipRect, const QRectF* opaqueRect) {
    if (state_.rop2 == 11) return;
    painter_->save();
    painter_->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (opaqueRect) painter_->fillRect(*opaqueRect, state_.bkColor);
    if (clipRect) painter_->setClipRect(*clipRect, Qt::IntersectClip);

    // Text is laid out in device pixels, so a flipped window does not mirror it.
    const double sx = std::abs(scaleX()), sy = std::abs(scaleY());
    const Font& f = state_.font;
    QFont font(f.face.isEmpty() ? QStringLiteral("Sans Serif") : f.face);
    const double size = f.height == 0 ? 16 : std::abs(double(f.height)) * sy;
    font.setPixelSize(std::max(1, int(std::lround(std::min(size, kMaxTextPixels)))));
    font.setWeight(QFont::Weight(std::clamp<int>(f.weight ? f.weight : 400, 100, 900)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    // No fallback fonts: a byte the face lacks draws as its missing glyph, as
    // under GDI, and hostile text cannot send the font matcher searching.
    font.setStyleStrategy(QFont::NoFontMerging);
    const QFontMetricsF metrics(font);
    // The bytes are taken as Latin-1: the font's character set is not mapped.
    const QString text = QString::fromLatin1(bytes);

    std::vector<double> advances;
    double width = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const double a = dx.empty() ? metrics.horizontalAdvance(text[i]) : dx[size_t(i)] * sx;
        advances.push_back(a);
        width += a;
    }
    const uint16_t align = state_.textAlign;
    double x = 0, y = metrics.ascent();
    if ((align & kTaCenter) == kTaCenter)
        x = -width / 2;
    else if (align & kTaRight)
        x = -width;
    if ((align & kTaBaseline) == kTaBaseline)
        y = 0;
    else if (align & kTaBottom)
        y = -metrics.descent();

    const QPointF origin = world_.map(at);
    painter_->resetTransform();
    painter_->translate(origin);
    painter_->rotate(-f.escapement / 10.0);
    painter_->setFont(font);
    if (state_.opaque && !opaqueRect)
        painter_->fillRect(QRectF(x, y - metrics.ascent(), width, metrics.height()),
                           state_.bkColor);
    painter_->setPen(state_.textColor);
    double pen = x;
    for (qsizetype i = 0; i < text.size(); ++i) {
        painter_->drawText(QPointF(pen, y), QString(text[i]));
        pen += advances[size_t(i)];
    }
    painter_->restore();
    if (state_.textAlign & kTaUpdateCp) {
        const double logical = sx > 0 ? width / sx : 0;
        state_.position += QPointF((align & kTaRight) ? -logical : logical, 0);
    }
}

void WmfPlayer::fillDeviceRect(const QRectF& logical, const QBrush& brush, uint32_t rop) {
    painter_->save();
    painter_->setPen(Qt::NoPen);
    if (rop == kBlackness || rop == kWhiteness) {
        painter_->fillRect(logical, rop == kBlackness ? Qt::black : Qt::white);
    } else if (rop == kDstInvert || rop == kPatInvert) {
        painter_->setCompositionMode(blitMode(rop));
        painter_->fillRect(logical, rop == kDstInvert ? QBrush(Qt::white) : brush);
    } else if (brush.style() != Qt::NoBrush) {
        painter_->fillRect(logical, brush);
    }
    painter_->restore();
}

void WmfPlayer::playBitmap(uint16_t function, const Params& p) {
    const uint32_t rop = p.u32(0);
    // Source and destination in logical units; the DIB words follow `dibAt`.
    int sx = 0, sy = 0, sw = 0, sh = 0, dx = 0, dy = 0, dw = 0, dh = 0;
    size_t dibAt = 0;
    bool fromBottom = false;
    const bool noBitmap = p.words() == size_t(function >> 8);
    if (function == kPatBlt) {
        if (!p.has(6)) return;
        fillDeviceRect(QRectF(p.s16(5), p.s16(4), p.s16(3), p.s16(2)), state_.brush, rop);
        return;
    }
    if (function == kDibBitBlt) {
        if (noBitmap) {
            fillDeviceRect(QRectF(p.s16(8), p.s16(7), p.s16(6), p.s16(5)), state_.brush, rop);
            return;
        }
        if (!p.has(9)) return;
        sy = p.s16(2), sx = p.s16(3), dh = sh = p.s16(4), dw = sw = p.s16(5);
        dy = p.s16(6), dx = p.s16(7), dibAt = 8;
    } else if (function == kDibStretchBlt) {
        if (noBitmap) {
            fillDeviceRect(QRectF(p.s16(10), p.s16(9), p.s16(8), p.s16(7)), state_.brush, rop);
            return;
        }
        if (!p.has(11)) return;
        sh = p.s16(2), sw = p.s16(3), sy = p.s16(4), sx = p.s16(5);
        dh = p.s16(6), dw = p.s16(7), dy = p.s16(8), dx = p.s16(9), dibAt = 10;
    } else {
        if (!p.has(12)) return;
        if (p.u16(2) != 0) return; // palette-index colours need a palette we do not keep
        sh = p.s16(3), sw = p.s16(4), sy = p.s16(5), sx = p.s16(6);
        dh = p.s16(7), dw = p.s16(8), dy = p.s16(9), dx = p.s16(10), dibAt = 11;
        fromBottom = true;
    }
    if (rop == kBlackness || rop == kWhiteness || rop == kDstInvert) {
        fillDeviceRect(QRectF(dx, dy, dw, dh), state_.brush, rop);
        return;
    }
    bool bottomUp = false;
    const QImage image = DibToImage(p.bytes(dibAt), &bottomUp);
    if (image.isNull() || sw <= 0 || sh <= 0 || dw == 0 || dh == 0) return;
    // StretchDIBits counts a bottom-up DIB's source rows from its last row.
    if (fromBottom && bottomUp) sy = image.height() - sy - sh;
    const QRect source(sx, sy, sw, sh);
    const QRect visible = source.intersected(image.rect());
    if (visible.isEmpty()) return;
    painter_->save();
    painter_->setCompositionMode(blitMode(rop));
    painter_->translate(dx, dy);
    painter_->scale(double(dw) / sw, double(dh) / sh);
    painter_->drawImage(QPointF(visible.x() - sx, visible.y() - sy), image, visible);
    painter_->restore();
}
