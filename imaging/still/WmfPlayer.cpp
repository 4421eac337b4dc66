#include "imaging/still/WmfPlayer.h"

#include "imaging/still/WmfDib.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace wmf;

namespace {

constexpr uint16_t kR2Not = 6, kR2XorPen = 7, kR2Nop = 11;
constexpr uint16_t kPsNull = 5;
// Objects beyond this count are dropped, as a full GDI table refuses them.
constexpr size_t kMaxObjects = 65535;

QRectF rectFrom(const Params& p, size_t first) {
    // Bottom, right, top, left: the order the records store them in.
    return QRectF(QPointF(p.s16(first + 3), p.s16(first + 2)),
                  QPointF(p.s16(first + 1), p.s16(first)))
        .normalized();
}

// The arc from the start radial to the end radial, counter-clockwise as GDI
// draws it; Qt's arc angles are parametric on the ellipse, as GDI's radials
// are once divided by the radii.
void arcAngles(const QRectF& box, QPointF start, QPointF end, double& from, double& sweep) {
    const QPointF c = box.center();
    const double rx = std::max(box.width() / 2, 1e-9), ry = std::max(box.height() / 2, 1e-9);
    const double a0 = std::atan2(-(start.y() - c.y()) / ry, (start.x() - c.x()) / rx);
    const double a1 = std::atan2(-(end.y() - c.y()) / ry, (end.x() - c.x()) / rx);
    double s = a1 - a0;
    while (s <= 0)
        s += 2 * std::numbers::pi;
    from = a0 * 180 / std::numbers::pi;
    sweep = s * 180 / std::numbers::pi;
}

} // namespace

WmfPlayer::WmfPlayer(std::span<const uint8_t> file, const Document& doc) : file_(file), doc_(doc) {}

size_t WmfPlayer::Play(QPainter& painter, const QRectF& target) {
    painter_ = &painter;
    target_ = target;
    state_ = State{};
    saved_.clear();
    objects_.assign(std::min<size_t>(doc_.objectCount, kMaxObjects), Object{});
    if (doc_.placeable) {
        state_.org = QPointF(doc_.left, doc_.top);
        state_.ext = QPointF(doc_.right - doc_.left, doc_.bottom - doc_.top);
    } else {
        state_.org = QPointF(doc_.windowOrgX, doc_.windowOrgY);
        state_.ext = QPointF(doc_.windowExtX, doc_.windowExtY);
    }
    state_.clip.addRect(target);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    applyClip();
    applyMapping();
    size_t played = 0;
    for (const Record& r : doc_.records) {
        if (played >= kMaxRecords) break;
        ++played;
        if (r.function == kEof) break;
        playRecord(r);
    }
    painter.restore();
    painter_ = nullptr;
    return played;
}

double WmfPlayer::scaleX() const {
    return target_.width() / (state_.ext.x() == 0 ? 1.0 : state_.ext.x());
}
double WmfPlayer::scaleY() const {
    return target_.height() / (state_.ext.y() == 0 ? 1.0 : state_.ext.y());
}

void WmfPlayer::applyMapping() {
    world_ = QTransform();
    world_.translate(target_.left(), target_.top());
    world_.scale(scaleX(), scaleY());
    world_.translate(-state_.org.x(), -state_.org.y());
    painter_->setWorldTransform(world_);
}

void WmfPlayer::applyClip() {
    painter_->resetTransform();
    painter_->setClipPath(state_.clip);
    painter_->setWorldTransform(world_);
}

QColor WmfPlayer::colour(uint32_t c) const {
    return QColor(c & 0xFF, c >> 8 & 0xFF, c >> 16 & 0xFF);
}

bool WmfPlayer::prepareShape(bool filled) {
    if (state_.rop2 == kR2Nop) return false;
    painter_->setPen(state_.pen);
    painter_->setBrush(filled ? state_.brush : QBrush(Qt::NoBrush));
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    if (state_.rop2 == kR2Not) mode = QPainter::RasterOp_NotDestination;
    if (state_.rop2 == kR2XorPen) mode = QPainter::RasterOp_SourceXorDestination;
    painter_->setCompositionMode(mode);
    return true;
}

void WmfPlayer::addObject(Object object) {
    auto free = std::find_if(objects_.begin(), objects_.end(),
                             [](const Object& o) { return o.kind == Object::None; });
    if (free != objects_.end())
        *free = std::move(object);
    else if (objects_.size() < kMaxObjects) // lenient: a header may undercount
        objects_.push_back(std::move(object));
}

void WmfPlayer::playRecord(const Record& r) {
    const Params p(file_, r);
    switch (r.function) {
    case kSetWindowOrg:
    case kSetWindowExt:
    case kOffsetWindowOrg:
        if (!p.has(2)) return;
        if (r.function == kSetWindowOrg) state_.org = QPointF(p.s16(1), p.s16(0));
        if (r.function == kSetWindowExt) state_.ext = QPointF(p.s16(1), p.s16(0));
        if (r.function == kOffsetWindowOrg) state_.org += QPointF(p.s16(1), p.s16(0));
        applyMapping();
        return;
    case kScaleWindowExt: {
        if (!p.has(4) || p.s16(0) == 0 || p.s16(2) == 0) return;
        const double x = std::clamp(state_.ext.x() * p.s16(3) / p.s16(2), -32767.0, 32767.0);
        const double y = std::clamp(state_.ext.y() * p.s16(1) / p.s16(0), -32767.0, 32767.0);
        state_.ext = QPointF(std::trunc(x), std::trunc(y));
        applyMapping();
        return;
    }
    // The viewport is the target rectangle and the mapping stays anisotropic,
    // so a metafile always fills the rectangle it is drawn into.
    case kSetViewportOrg:
    case kSetViewportExt:
    case kSetMapMode:
        return;
    case kSetBkColor:
        if (p.has(2)) state_.bkColor = colour(p.u32(0));
        return;
    case kSetTextColor:
        if (p.has(2)) state_.textColor = colour(p.u32(0));
        return;
    case kSetBkMode:
        if (p.has(1)) state_.opaque = p.u16(0) == 2;
        return;
    case kSetTextAlign:
        if (p.has(1)) state_.textAlign = p.u16(0);
        return;
    case kSetPolyFillMode:
        if (p.has(1)) state_.fillRule = p.u16(0) == 2 ? Qt::WindingFill : Qt::OddEvenFill;
        return;
    case kSetRop2:
        if (p.has(1)) state_.rop2 = p.u16(0);
        return;
    case kSaveDc:
        if (saved_.size() < kMaxSavedStates) saved_.push_back(state_);
        return;
    case kRestoreDc: {
        if (!p.has(1)) return;
        const int n = p.s16(0);
        // Negative: relative to the newest saved state; positive: absolute.
        size_t keep = 0;
        if (n < 0 && size_t(-n) <= saved_.size())
            keep = saved_.size() - size_t(-n);
        else if (n > 0 && size_t(n) <= saved_.size())
            keep = size_t(n) - 1;
        else
            return;
        state_ = saved_[keep];
        saved_.resize(keep);
        applyClip();
        applyMapping();
        return;
    }
    case kIntersectClipRect:
    case kExcludeClipRect: {
        if (!p.has(4)) return;
        QPainterPath box;
        box.addRect(world_.mapRect(rectFrom(p, 0)));
        state_.clip = r.function == kIntersectClipRect ? state_.clip.intersected(box)
                                                       : state_.clip.subtracted(box);
        applyClip();
        return;
    }
    case kMoveTo:
        if (p.has(2)) state_.position = QPointF(p.s16(1), p.s16(0));
        return;
    case kCreatePenIndirect:
    case kCreateBrushIndirect:
    case kCreateFontIndirect:
    case kCreatePalette:
    case kCreatePatternBrush:
    case kDibCreatePatternBrush:
    case kCreateRegion:
    case kSelectObject:
    case kDeleteObject:
        playObject(r.function, p);
        return;
    case kTextOut:
    case kExtTextOut:
        playText(r.function, p);
        return;
    case kPatBlt:
    case kDibBitBlt:
    case kDibStretchBlt:
    case kStretchDib:
        playBitmap(r.function, p);
        return;
    default:
        playShape(r.function, p);
    }
}

void WmfPlayer::playObject(uint16_t function, const Params& p) {
    Object o;
    switch (function) {
    case kCreatePenIndirect: {
        if (!p.has(5)) break;
        const uint16_t style = p.u16(0);
        o.kind = Object::Pen;
        // Width 0 is the one-pixel cosmetic pen, in Qt and in GDI.
        o.pen = QPen(colour(p.u32(3)), std::min<int>(std::abs(p.s16(1)), 4096));
        static constexpr Qt::PenStyle kStyles[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                                   Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen,
                                                   Qt::SolidLine};
        o.pen.setStyle((style & 0xF) <= 6 ? kStyles[style & 0xF] : Qt::SolidLine);
        o.pen.setCapStyle((style & 0x0F00) == 0x100   ? Qt::SquareCap
                          : (style & 0x0F00) == 0x200 ? Qt::FlatCap
                                                      : Qt::RoundCap);
        o.pen.setJoinStyle((style & 0xF000) == 0x1000   ? Qt::BevelJoin
                           : (style & 0xF000) == 0x2000 ? Qt::MiterJoin
                                                        : Qt::RoundJoin);
        if ((style & 0xF) == kPsNull) o.pen = QPen(Qt::NoPen);
        break;
    }
    case kCreateBrushIndirect: {
        if (!p.has(4)) break;
        const uint16_t style = p.u16(0);
        o.kind = Object::Brush;
        // Solid and hatched brushes fill with their colour; hollow fills nothing.
        o.brush = style == 1 ? QBrush(Qt::NoBrush) : QBrush(colour(p.u32(1)));
        break;
    }
    case kDibCreatePatternBrush: {
        o.kind = Object::Brush;
        const QImage pattern = p.has(2) ? DibToImage(p.bytes(2)) : QImage();
        o.brush = pattern.isNull() ? QBrush(Qt::gray) : QBrush(pattern);
        break;
    }
    case kCreateFontIndirect: {
        if (!p.has(9)) break;
        o.kind = Object::Font;
        o.font.height = p.s16(0);
        o.font.escapement = p.s16(2);
        o.font.weight = p.s16(4);
        const auto flags = p.bytes(5);
        o.font.italic = flags[0] != 0;
        o.font.underline = flags[1] != 0;
        o.font.strikeOut = flags[2] != 0;
        const auto face = p.bytes(9).first(std::min<size_t>(p.bytes(9).size(), 32));
        const auto end = std::find(face.begin(), face.end(), uint8_t(0));
        o.font.face = QString::fromLatin1(reinterpret_cast<const char*>(face.data()),
                                          qsizetype(end - face.begin()));
        break;
    }
    case kSelectObject:
    case kDeleteObject: {
        const size_t i = p.u16(0);
        if (!p.has(1) || i >= objects_.size()) return;
        if (function == kDeleteObject) {
            objects_[i] = Object{};
            return;
        }
        const Object& s = objects_[i];
        if (s.kind == Object::Pen) state_.pen = s.pen;
        if (s.kind == Object::Brush) state_.brush = s.brush;
        if (s.kind == Object::Font) state_.font = s.font;
        return;
    }
    default: // palettes, regions and bitmap pattern brushes only hold a slot
        o.kind = function == kCreatePatternBrush ? Object::Brush : Object::Other;
        o.brush = QBrush(Qt::gray);
        break;
    }
    // A creation too short to read still takes a slot, so later indices match.
    if (o.kind == Object::None) o.kind = Object::Other;
    addObject(std::move(o));
}

void WmfPlayer::playShape(uint16_t function, const Params& p) {
    switch (function) {
    case kLineTo: {
        if (!p.has(2)) return;
        const QPointF to(p.s16(1), p.s16(0));
        if (prepareShape(false)) painter_->drawLine(state_.position, to);
        state_.position = to;
        return;
    }
    case kPolyline:
    case kPolygon: {
        const int n = p.s16(0);
        if (n <= 0 || !p.has(1 + 2 * size_t(n))) return;
        QPolygonF poly;
        poly.reserve(n);
        for (int i = 0; i < n; ++i)
            poly << QPointF(p.s16(1 + 2 * i), p.s16(2 + 2 * i));
        if (!prepareShape(function == kPolygon)) return;
        if (function == kPolyline)
            painter_->drawPolyline(poly);
        else
            painter_->drawPolygon(poly, state_.fillRule);
        return;
    }
    case kPolyPolygon: {
        const size_t polygons = p.u16(0);
        if (polygons == 0 || !p.has(1 + polygons)) return;
        size_t total = 0;
        for (size_t i = 0; i < polygons; ++i)
            total += p.u16(1 + i);
        if (!p.has(1 + polygons + 2 * total)) return;
        QPainterPath path;
        path.setFillRule(state_.fillRule);
        size_t at = 1 + polygons;
        for (size_t i = 0; i < polygons; ++i) {
            QPolygonF poly;
            for (size_t k = 0, n = p.u16(1 + i); k < n; ++k, at += 2)
                poly << QPointF(p.s16(at), p.s16(at + 1));
            if (!poly.isEmpty()) path.addPolygon(poly), path.closeSubpath();
        }
        if (prepareShape(true)) painter_->drawPath(path);
        return;
    }
    case kRectangle:
    case kEllipse:
        if (!p.has(4) || !prepareShape(true)) return;
        if (function == kRectangle)
            painter_->drawRect(rectFrom(p, 0));
        else
            painter_->drawEllipse(rectFrom(p, 0));
        return;
    case kRoundRect:
        if (!p.has(6) || !prepareShape(true)) return;
        painter_->drawRoundedRect(rectFrom(p, 2), std::abs(p.s16(1)) / 2.0,
                                  std::abs(p.s16(0)) / 2.0, Qt::AbsoluteSize);
        return;
    case kArc:
    case kPie:
    case kChord: {
        if (!p.has(8)) return;
        const QRectF box = rectFrom(p, 4);
        double from = 0, sweep = 0;
        arcAngles(box, QPointF(p.s16(3), p.s16(2)), QPointF(p.s16(1), p.s16(0)), from, sweep);
        QPainterPath path;
        if (function == kPie) path.moveTo(box.center()), path.arcTo(box, from, sweep);
        if (function != kPie) path.arcMoveTo(box, from), path.arcTo(box, from, sweep);
        if (function != kArc) path.closeSubpath();
        if (prepareShape(function != kArc)) painter_->drawPath(path);
        return;
    }
    default: // unknown or unsupported records are skipped
        return;
    }
}
