#include "libs/dxf/core/DxfRender.h"

#include "libs/dxf/core/DxfErrors.h"
#include "libs/dxf/core/DxfScene.h"
#include "libs/imagecore/Dib.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>

namespace dxfcore {

namespace {

class BoundsSink final : public SegmentSink {
  public:
    void segment(double x0, double y0, double x1, double y1) override {
        add(x0, y0);
        add(x1, y1);
    }
    bool any = false;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;

  private:
    void add(double x, double y) {
        if (!any) minX = maxX = x, minY = maxY = y, any = true;
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
};

// World to pixel: px = margin + (x - minX) * scale, py = margin + (maxY - y) * scale.
struct Frame {
    double minX = 0, maxY = 0, scale = 1;
    int32_t width = 0, height = 0;
};

class RasterSink final : public SegmentSink {
  public:
    RasterSink(const Frame& f, ic::MutableDib& dib, uint64_t maxSteps)
        : f_(f), dib_(dib), stepsLeft_(maxSteps) {}
    void segment(double x0, double y0, double x1, double y1) override {
        double ax = kMargin + (x0 - f_.minX) * f_.scale, ay = kMargin + (f_.maxY - y0) * f_.scale;
        double bx = kMargin + (x1 - f_.minX) * f_.scale, by = kMargin + (f_.maxY - y1) * f_.scale;
        if (!clip(ax, ay, bx, by)) return;
        int32_t x = int32_t(std::lround(ax)), y = int32_t(std::lround(ay));
        const int32_t ex = int32_t(std::lround(bx)), ey = int32_t(std::lround(by));
        // Bresenham; both ends lie inside the clip box, so the loop is short.
        const int32_t dx = std::abs(ex - x), dy = -std::abs(ey - y);
        // Many long segments (a block inserted at huge scale) cost pixels,
        // not segments: the pixel budget ends the drawing.
        const uint64_t steps = uint64_t(std::max(dx, -dy)) + 1;
        if (steps > stepsLeft_) {
            stepsLeft_ = 0;
            return;
        }
        stepsLeft_ -= steps;
        const int32_t sx = x < ex ? 1 : -1, sy = y < ey ? 1 : -1;
        int32_t err = dx + dy;
        for (;;) {
            plot(x, y);
            if (x == ex && y == ey) break;
            const int32_t e2 = 2 * err;
            if (e2 >= dy) err += dy, x += sx;
            if (e2 <= dx) err += dx, y += sy;
        }
    }

  private:
    void plot(int32_t x, int32_t y) {
        if (x < 0 || y < 0 || x >= f_.width || y >= f_.height) return;
        dib_.row(y)[x >> 3] &= uint8_t(~(0x80 >> (x & 7)));
    }
    // Liang-Barsky against the picture plus half a pixel.
    bool clip(double& x0, double& y0, double& x1, double& y1) const {
        const double lo = -0.5, hx = f_.width - 0.5, hy = f_.height - 0.5;
        double t0 = 0, t1 = 1;
        const double dx = x1 - x0, dy = y1 - y0;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {x0 - lo, hx - x0, y0 - lo, hy - y0};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0) return false;
                continue;
            }
            const double r = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, r);
            else
                t1 = std::min(t1, r);
            if (t0 > t1) return false;
        }
        const double sx = x0, sy = y0;
        x0 = sx + t0 * dx, y0 = sy + t0 * dy;
        x1 = sx + t1 * dx, y1 = sy + t1 * dy;
        return true;
    }
    const Frame& f_;
    ic::MutableDib& dib_;
    uint64_t stepsLeft_;
};

int32_t frameOf(const DxfScene& scene, const std::function<bool(int32_t)>& progress,
                const DxfLimits& limits, Frame& f) {
    double x0, y0, x1, y1;
    if (!scene.headerExtents(x0, y0, x1, y1)) {
        BoundsSink bounds;
        const int32_t rc = scene.draw(bounds, progress, limits);
        if (rc != DE_OK) return rc;
        if (!bounds.any) return DE_EMPTY;
        x0 = bounds.minX, y0 = bounds.minY, x1 = bounds.maxX, y1 = bounds.maxY;
    }
    const double span = std::max(x1 - x0, y1 - y0);
    const int32_t inner = kLongSide - 1 - 2 * kMargin;
    f.scale = span > 0 ? inner / span : 1.0;
    f.minX = x0, f.maxY = y1;
    f.width = std::clamp(int32_t(std::lround((x1 - x0) * f.scale)), 0, inner) + 1 + 2 * kMargin;
    f.height = std::clamp(int32_t(std::lround((y1 - y0) * f.scale)), 0, inner) + 1 + 2 * kMargin;
    return DE_OK;
}

} // namespace

int32_t measureDxf(const uint8_t* data, size_t size, int32_t& width, int32_t& height,
                   const DxfLimits& limits) {
    DxfScene scene;
    int32_t rc = scene.load(std::string_view(reinterpret_cast<const char*>(data), size));
    if (rc != DE_OK) return rc;
    Frame f;
    rc = frameOf(scene, {}, limits, f);
    if (rc != DE_OK) return rc;
    width = f.width, height = f.height;
    return DE_OK;
}

int32_t renderDxf(const uint8_t* data, size_t size, const std::function<bool(int32_t)>& progress,
                  zp::GlobalBlock& out, const DxfLimits& limits) {
    DxfScene scene;
    int32_t rc = scene.load(std::string_view(reinterpret_cast<const char*>(data), size));
    if (rc != DE_OK) return rc;
    // First walk: the extents (progress 0..49); second: the pixels (50..99).
    Frame f;
    rc = frameOf(
        scene, [&](int32_t p) { return !progress || progress(p / 2); }, limits, f);
    if (rc != DE_OK) return rc;
    const RGBQUAD table[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    out.adopt(ic::createDib(f.width, f.height, 1, table, 2));
    if (!out) return DE_NO_MEMORY;
    {
        ic::MutableDib dib(out.get());
        if (!dib.ok()) return DE_INTERNAL;
        for (int32_t y = 0; y < f.height; ++y)
            std::memset(dib.row(y), 0xFF, dib.view().stride);
        RasterSink raster(f, dib, limits.maxPixelSteps);
        rc = scene.draw(
            raster, [&](int32_t p) { return !progress || progress(50 + p / 2); }, limits);
    }
    if (rc != DE_OK) out.reset();
    return rc;
}

} // namespace dxfcore
