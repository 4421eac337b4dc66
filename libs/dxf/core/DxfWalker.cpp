#include "libs/dxf/core/DxfWalker.h"

#include "libs/dxf/core/DxfErrors.h"
#include "libs/dxf/core/DxfShapes.h"

#include <cmath>

namespace dxfcore {

namespace {

// Groups kept per entity (an LWPOLYLINE of a quarter million vertices).
constexpr size_t kMaxGroups = 1 << 20;

} // namespace

namespace {
// Group 70 holds 16-bit flags; anything not a finite value in range (a
// damaged file) counts as no flags rather than an undefined conversion.
int64_t flagBits(double value) {
    return std::isfinite(value) && std::fabs(value) < 2147483648.0 ? int64_t(value) : 0;
}
} // namespace

double EntityWalker::Entity::number(int32_t code, double fallback) const {
    for (const Group& g : groups) {
        double v = 0;
        if (g.code == code) return toDouble(g.value, v) ? v : NAN;
    }
    return fallback;
}

std::string_view EntityWalker::Entity::text(int32_t code) const {
    for (const Group& g : groups)
        if (g.code == code) return g.value;
    return {};
}

EntityWalker::EntityWalker(const DxfScene& scene, SegmentSink& sink,
                           const std::function<bool(int32_t)>& progress, const DxfLimits& limits)
    : scene_(scene), sink_(sink), progress_(progress), limits_(limits) {}

int32_t EntityWalker::walk() {
    walkRange(scene_.entitiesBegin_, scene_.entitiesEnd_, Affine{}, 0, true);
    return cancelled_ ? DE_CANCELLED : DE_OK;
}

bool EntityWalker::visit() {
    if (++entities_ > limits_.maxEntities) stopped_ = true;
    return !stopped_;
}

bool EntityWalker::spend(uint64_t segments) {
    segments_ += segments;
    if (segments_ > limits_.maxSegments) stopped_ = true;
    return !stopped_;
}

void EntityWalker::walkRange(size_t begin, size_t end, const Affine& t, int32_t depth, bool top) {
    DxfTokenizer tokens(scene_.text_, begin, end);
    Entity entity;
    Group g;
    uint64_t seen = 0;
    // A block's polyline state is its own.
    const bool outerPolyline = inPolyline_;
    std::vector<Vertex> outerVertices;
    if (!top) outerVertices.swap(vertices_);
    inPolyline_ = false;
    while (!stopped_ && tokens.next(g)) {
        if (g.code != 0) {
            if (entity.groups.size() < kMaxGroups) entity.groups.push_back(g);
            continue;
        }
        finish(entity, t, depth);
        entity.type = g.value;
        entity.groups.clear();
        if (top && ++seen % 4096 == 0 && progress_ && end > begin &&
            !progress_(int32_t((tokens.position() - begin) * 99 / (end - begin)))) {
            cancelled_ = stopped_ = true;
        }
    }
    if (!stopped_) finish(entity, t, depth);
    if (inPolyline_) closePolyline(t);
    inPolyline_ = outerPolyline;
    if (!top) vertices_.swap(outerVertices);
}

void EntityWalker::finish(Entity& e, const Affine& t, int32_t depth) {
    if (e.type.empty() || !visit()) return;
    if (inPolyline_) {
        if (e.type == "VERTEX") {
            const int64_t flags = flagBits(e.number(70, 0));
            // Polyface face records (128 without 64) carry indices, not points.
            if ((flags & 128) && !(flags & 64)) return;
            vertices_.push_back({e.number(10, 0), e.number(20, 0), e.number(42, 0)});
            return;
        }
        closePolyline(t);
        if (e.type == "SEQEND") return;
    }
    if (e.type == "POLYLINE") {
        inPolyline_ = true;
        polylineClosed_ = flagBits(e.number(70, 0)) & 1;
        vertices_.clear();
        return;
    }
    drawEntity(e, t, depth);
}

void EntityWalker::closePolyline(const Affine& t) {
    inPolyline_ = false;
    ShapeOut out(t, sink_);
    if (spend(vertices_.size())) polyline(out, vertices_, polylineClosed_);
    vertices_.clear();
}

void EntityWalker::drawEntity(const Entity& e, const Affine& t, int32_t depth) {
    ShapeOut out(t, sink_);
    const std::string_view type = e.type;
    const double x = e.number(10, 0), y = e.number(20, 0);
    if (type == "LINE") {
        out.line(x, y, e.number(11, 0), e.number(21, 0));
    } else if (type == "POINT") {
        out.line(x, y, x, y);
    } else if (type == "CIRCLE" || type == "ARC") {
        const double r = e.number(40, 0);
        const bool arc = type == "ARC";
        const double a0 = arc ? e.number(50, 0) * M_PI / 180 : 0;
        const double a1 = arc ? e.number(51, 360) * M_PI / 180 : 2 * M_PI;
        if (r > 0) ellipseArc(out, x, y, r, 0, 1, a0, a1);
    } else if (type == "ELLIPSE") {
        ellipseArc(out, x, y, e.number(11, 1), e.number(21, 0), e.number(40, 1), e.number(41, 0),
                   e.number(42, 2 * M_PI));
    } else if (type == "LWPOLYLINE") {
        std::vector<Vertex> v;
        for (const Group& g : e.groups) {
            double n = 0;
            const bool ok = toDouble(g.value, n);
            if (g.code == 10)
                v.push_back({ok ? n : NAN, 0, 0});
            else if (g.code == 20 && !v.empty())
                v.back().y = ok ? n : NAN;
            else if (g.code == 42 && !v.empty())
                v.back().bulge = ok ? n : 0;
        }
        if (spend(v.size())) polyline(out, v, flagBits(e.number(70, 0)) & 1);
    } else if (type == "SOLID" || type == "TRACE" || type == "3DFACE") {
        std::vector<Vertex> v;
        for (int32_t k = 0; k < 4; ++k)
            v.push_back({e.number(10 + k, 0), e.number(20 + k, 0), 0});
        if (type != "3DFACE") std::swap(v[2], v[3]); // solids list their corners in Z order
        polyline(out, v, true);
    } else if (type == "TEXT" || type == "ATTRIB") {
        textBoxes(out, e.text(1), x, y, e.number(40, 1), e.number(50, 0), e.number(41, 1), 0);
    } else if (type == "MTEXT") {
        std::string raw;
        for (const Group& g : e.groups)
            if (g.code == 3 || g.code == 1) raw.append(g.value);
        const std::string plain = mtextPlain(raw);
        double degrees = e.number(50, 0);
        const double dx = e.number(11, NAN), dy = e.number(21, NAN);
        if (std::isfinite(dx) && std::isfinite(dy) && (dx != 0 || dy != 0))
            degrees = std::atan2(dy, dx) * 180 / M_PI;
        // The insertion point is the top left corner: the first baseline lies
        // one text height below it.
        const double h = e.number(40, 1);
        const Affine down = Affine::place(x, y, 1, 1, std::isfinite(degrees) ? degrees : 0);
        ShapeOut rotated(t * down, sink_);
        int32_t line = 0;
        size_t start = 0;
        while (start <= plain.size()) {
            const size_t stop = std::min(plain.find('\n', start), plain.size());
            if (!spend(4 * (stop - start))) break;
            textBoxes(rotated, std::string_view(plain).substr(start, stop - start), 0, -h, h, 0, 1,
                      line++);
            start = stop + 1;
        }
    } else if (type == "INSERT" && depth < DxfScene::kMaxDepth) {
        const auto found = scene_.blocks_.find(e.text(2));
        if (found == scene_.blocks_.end()) return;
        const DxfScene::Block& b = found->second;
        const double sx = e.number(41, 1), sy = e.number(42, 1), rot = e.number(50, 0);
        if (!std::isfinite(sx + sy + rot + x + y)) return;
        const Affine inner =
            Affine::place(x, y, sx, sy, rot) * Affine{1, 0, 0, 1, -b.baseX, -b.baseY};
        walkRange(b.begin, b.end, t * inner, depth + 1, false);
    }
    spend(out.count);
}

} // namespace dxfcore
