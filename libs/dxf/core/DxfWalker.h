#pragma once
// The walk over a range of entities: collects each entity's groups, joins
// POLYLINE/VERTEX/SEQEND runs, expands INSERTs (depth-capped) and hands the
// shapes to DxfShapes.
#include "libs/dxf/core/DxfScene.h"
#include "libs/dxf/core/DxfTokenizer.h"

#include <string>
#include <vector>

namespace dxfcore {

struct Vertex {
    double x = 0, y = 0, bulge = 0;
};

class EntityWalker {
  public:
    EntityWalker(const DxfScene& scene, SegmentSink& sink,
                 const std::function<bool(int32_t)>& progress, const DxfLimits& limits);
    int32_t walk();

  private:
    struct Entity {
        std::string_view type;
        std::vector<Group> groups;
        double number(int32_t code, double fallback) const;
        std::string_view text(int32_t code) const;
    };
    void walkRange(size_t begin, size_t end, const Affine& t, int32_t depth, bool top);
    void finish(Entity& e, const Affine& t, int32_t depth);
    void drawEntity(const Entity& e, const Affine& t, int32_t depth);
    void closePolyline(const Affine& t);
    bool visit();                  // one entity parsed
    bool spend(uint64_t segments); // segments about to be made

    const DxfScene& scene_;
    SegmentSink& sink_;
    const std::function<bool(int32_t)>& progress_;
    DxfLimits limits_;
    uint64_t entities_ = 0;
    uint64_t segments_ = 0;
    bool cancelled_ = false;
    bool stopped_ = false;
    // The open POLYLINE of the current range.
    bool inPolyline_ = false;
    bool polylineClosed_ = false;
    std::vector<Vertex> vertices_;
};

} // namespace dxfcore
