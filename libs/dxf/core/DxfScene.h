#pragma once
// A DXF drawing's structure (header extents, blocks, the entities section)
// and the walk that turns its entities into straight segments in drawing
// units, handed to a sink. Curves are split into short chords, text into one
// box per character (the glyph cell: 0.6 x 1 text height, advance 0.8),
// blocks are expanded through INSERT with scale and rotation.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <unordered_map>

namespace dxfcore {

// x' = a x + c y + e, y' = b x + d y + f.
struct Affine {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
    void apply(double x, double y, double& ox, double& oy) const {
        ox = a * x + c * y + e;
        oy = b * x + d * y + f;
    }
    Affine operator*(const Affine& in) const { // this after in
        return {a * in.a + c * in.b, b * in.a + d * in.b,     a * in.c + c * in.d,
                b * in.c + d * in.d, a * in.e + c * in.f + e, b * in.e + d * in.f + f};
    }
    static Affine place(double x, double y, double sx, double sy, double degrees);
};

class SegmentSink {
  public:
    virtual ~SegmentSink() = default;
    // A segment in drawing units; a point has equal ends.
    virtual void segment(double x0, double y0, double x1, double y1) = 0;
};

// Work caps of one walk: entity visits (block expansions included),
// segments made and pixels stepped by the rasteriser. A larger drawing is
// drawn as far as the caps.
struct DxfLimits {
    uint64_t maxEntities = 2'000'000;
    uint64_t maxSegments = 20'000'000;
    uint64_t maxPixelSteps = 400'000'000;
};

// Coordinates beyond this are treated as garbage and their entity dropped.
constexpr double kMaxCoordinate = 1e12;

class DxfScene {
  public:
    // Scans the file (kept by reference: it must outlive the scene).
    // Answers DE_OK, DE_BINARY, DE_NOT_DXF or DE_SYNTAX.
    int32_t load(std::string_view text);
    // $EXTMIN/$EXTMAX when the header has usable ones.
    bool headerExtents(double& x0, double& y0, double& x1, double& y1) const;
    // Emits every entity. progress(percent) answering false stops the walk
    // (DE_CANCELLED). Work stops at the limits.
    int32_t draw(SegmentSink& sink, const std::function<bool(int32_t)>& progress,
                 const DxfLimits& limits) const;
    static constexpr int32_t kMaxDepth = 16;

  private:
    struct Block {
        double baseX = 0, baseY = 0;
        size_t begin = 0, end = 0;
    };
    friend class EntityWalker;
    std::string_view text_;
    std::unordered_map<std::string_view, Block> blocks_;
    size_t entitiesBegin_ = 0, entitiesEnd_ = 0;
    bool hasExtMin_ = false, hasExtMax_ = false;
    double ext_[4] = {0, 0, 0, 0};
};

} // namespace dxfcore
