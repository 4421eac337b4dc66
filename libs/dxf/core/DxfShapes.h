#pragma once
// Entities as chords: each function hands segments to emit(x0, y0, x1, y1)
// in the entity's own coordinates transformed by t. Curves use up to 96
// chords per full turn; text is one box per character.
#include "libs/dxf/core/DxfScene.h"
#include "libs/dxf/core/DxfWalker.h"

#include <string_view>
#include <vector>

namespace dxfcore {

class ShapeOut {
  public:
    ShapeOut(const Affine& t, SegmentSink& sink) : t_(t), sink_(sink) {}
    // Drops segments whose ends leave the sane coordinate range.
    void line(double x0, double y0, double x1, double y1);
    uint64_t count = 0;

  private:
    Affine t_;
    SegmentSink& sink_;
};

// Elliptical arc: centre, major axis vector, ratio of minor to major, from
// angle a0 to a1 (radians, counter-clockwise). A circle is ratio 1.
void ellipseArc(ShapeOut& out, double cx, double cy, double mx, double my, double ratio, double a0,
                double a1);
// A polyline with bulges (bulge of vertex i bends the edge i -> i+1).
void polyline(ShapeOut& out, const std::vector<Vertex>& v, bool closed);
// Text at (x, y) baseline-left, height h, rotation degrees, width factor;
// text holds the characters after format codes were removed.
void textBoxes(ShapeOut& out, std::string_view text, double x, double y, double h, double degrees,
               double widthFactor, int32_t line);
// The plain characters of an MTEXT value (\P new line, other codes dropped).
std::string mtextPlain(std::string_view raw);

} // namespace dxfcore
