#include "libs/dxf/core/DxfShapes.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace dxfcore {

namespace {

bool sane(double v) {
    return std::isfinite(v) && std::fabs(v) <= kMaxCoordinate;
}

constexpr int32_t kChordsPerTurn = 96;

} // namespace

void ShapeOut::line(double x0, double y0, double x1, double y1) {
    double a, b, c, d;
    t_.apply(x0, y0, a, b);
    t_.apply(x1, y1, c, d);
    if (!sane(a) || !sane(b) || !sane(c) || !sane(d)) return;
    sink_.segment(a, b, c, d);
    ++count;
}

void ellipseArc(ShapeOut& out, double cx, double cy, double mx, double my, double ratio, double a0,
                double a1) {
    if (!sane(cx) || !sane(cy) || !sane(mx) || !sane(my) || !std::isfinite(ratio) ||
        !std::isfinite(a0) || !std::isfinite(a1))
        return;
    double sweep = a1 - a0;
    if (std::fabs(sweep) > 8 * M_PI) sweep = 2 * M_PI; // nonsense angles: the full curve
    while (sweep <= 0)
        sweep += 2 * M_PI;
    const int32_t n = std::max(4, int32_t(std::ceil(kChordsPerTurn * sweep / (2 * M_PI))));
    // Minor axis: the major axis turned a quarter, times the ratio.
    const double nx = -my * ratio, ny = mx * ratio;
    double px = 0, py = 0;
    for (int32_t i = 0; i <= n; ++i) {
        const double a = a0 + sweep * i / n;
        const double x = cx + mx * std::cos(a) + nx * std::sin(a);
        const double y = cy + my * std::cos(a) + ny * std::sin(a);
        if (i > 0) out.line(px, py, x, y);
        px = x, py = y;
    }
}

void polyline(ShapeOut& out, const std::vector<Vertex>& v, bool closed) {
    if (v.size() == 1) out.line(v[0].x, v[0].y, v[0].x, v[0].y);
    const size_t edges = v.size() < 2 ? 0 : (closed ? v.size() : v.size() - 1);
    for (size_t i = 0; i < edges; ++i) {
        const Vertex& p = v[i];
        const Vertex& q = v[(i + 1) % v.size()];
        if (p.bulge == 0 || !std::isfinite(p.bulge) || std::fabs(p.bulge) > 1e6) {
            out.line(p.x, p.y, q.x, q.y);
            continue;
        }
        // bulge = tan(included angle / 4); the centre lies on the chord's normal.
        const double theta = 4 * std::atan(p.bulge);
        const double dx = q.x - p.x, dy = q.y - p.y;
        const double chord = std::hypot(dx, dy);
        if (chord == 0) continue;
        const double radius = chord / (2 * std::sin(std::fabs(theta) / 2));
        const double toCentre = radius * std::cos(theta / 2) * (theta > 0 ? 1 : -1);
        const double mx = (p.x + q.x) / 2 - dy / chord * toCentre;
        const double my = (p.y + q.y) / 2 + dx / chord * toCentre;
        const double start = std::atan2(p.y - my, p.x - mx);
        const int32_t n =
            std::max(2, int32_t(std::ceil(kChordsPerTurn * std::fabs(theta) / (2 * M_PI))));
        double px = p.x, py = p.y;
        for (int32_t k = 1; k <= n; ++k) {
            const double a = start + theta * k / n;
            const double x = k == n ? q.x : mx + radius * std::cos(a);
            const double y = k == n ? q.y : my + radius * std::sin(a);
            out.line(px, py, x, y);
            px = x, py = y;
        }
    }
}

void textBoxes(ShapeOut& out, std::string_view text, double x, double y, double h, double degrees,
               double widthFactor, int32_t line) {
    if (!sane(h) || h <= 0 || !std::isfinite(widthFactor) || widthFactor <= 0) return;
    const Affine place = Affine::place(x, y, h, h, std::isfinite(degrees) ? degrees : 0);
    const double cell = 0.8 * widthFactor, box = 0.6 * widthFactor;
    const double base = -1.667 * line;
    int32_t column = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) == 0x80) continue; // UTF-8 continuation: one cell per character
        if (c != ' ') {
            const double x0 = column * cell + 0.1 * widthFactor, x1 = x0 + box;
            const double pts[5][2] = {
                {x0, base}, {x1, base}, {x1, base + 1}, {x0, base + 1}, {x0, base}};
            for (int k = 0; k < 4; ++k) {
                double ax, ay, bx, by;
                place.apply(pts[k][0], pts[k][1], ax, ay);
                place.apply(pts[k + 1][0], pts[k + 1][1], bx, by);
                out.line(ax, ay, bx, by);
            }
        }
        ++column;
    }
}

std::string mtextPlain(std::string_view raw) {
    std::string out;
    for (size_t i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '{' || c == '}') continue;
        if (c != '\\' || i + 1 >= raw.size()) {
            out += c;
            continue;
        }
        const char code = raw[++i];
        if (code == 'P' || code == 'X')
            out += '\n';
        else if (code == '~')
            out += ' ';
        else if (code == '\\' || code == '{' || code == '}')
            out += code;
        else if (std::string_view("ACcFfHhLlOoKkQqTtWwp").find(code) != std::string_view::npos) {
            // Formatting codes with an argument run to ';' (L, O, K have none).
            if (std::string_view("LlOoKk").find(code) != std::string_view::npos) continue;
            const size_t stop = raw.find(';', i);
            i = stop == std::string_view::npos ? raw.size() : stop;
        }
    }
    return out;
}

} // namespace dxfcore
