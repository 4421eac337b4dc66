#include "libs/dxf/core/DxfScene.h"

#include "libs/dxf/core/DxfErrors.h"
#include "libs/dxf/core/DxfTokenizer.h"
#include "libs/dxf/core/DxfWalker.h"

#include <cmath>

namespace dxfcore {

Affine Affine::place(double x, double y, double sx, double sy, double degrees) {
    const double r = degrees * M_PI / 180.0;
    const double cs = std::cos(r), sn = std::sin(r);
    return {cs * sx, sn * sx, -sn * sy, cs * sy, x, y};
}

int32_t DxfScene::load(std::string_view text) {
    text_ = text;
    if (text.substr(0, 18) == "AutoCAD Binary DXF") return DE_BINARY;
    DxfTokenizer tokens(text);
    Group g;
    bool sawSection = false;
    enum { None, Header, Blocks, Entities, Other } section = None;
    std::string_view variable;
    Block* block = nullptr;
    std::string_view blockName;
    Block pending;
    bool inBlockHead = false;
    while (tokens.next(g)) {
        if (section == Entities) entitiesEnd_ = tokens.position();
        if (g.code == 0) {
            if (inBlockHead) { // the block's entities start with this group
                pending.begin = g.offset;
                block = &blocks_[blockName];
                *block = pending;
                inBlockHead = false;
            }
            if (g.value == "SECTION") {
                sawSection = true;
                section = None;
                Group name;
                if (!tokens.next(name)) break;
                if (name.code == 2) {
                    if (name.value == "HEADER")
                        section = Header;
                    else if (name.value == "BLOCKS")
                        section = Blocks;
                    else if (name.value == "ENTITIES")
                        section = Entities;
                    else
                        section = Other;
                }
                if (section == Entities) entitiesBegin_ = entitiesEnd_ = tokens.position();
            } else if (g.value == "ENDSEC") {
                if (section == Entities) entitiesEnd_ = g.offset;
                section = None;
            } else if (g.value == "EOF") {
                break;
            } else if (section == Blocks && g.value == "BLOCK") {
                inBlockHead = true;
                pending = Block{};
                blockName = {};
            } else if (section == Blocks && g.value == "ENDBLK" && block) {
                block->end = g.offset;
                block = nullptr;
            }
            continue;
        }
        if (section == Header) {
            double v = 0;
            if (g.code == 9)
                variable = g.value;
            else if ((g.code == 10 || g.code == 20) && toDouble(g.value, v) &&
                     (variable == "$EXTMIN" || variable == "$EXTMAX")) {
                const bool isMax = variable == "$EXTMAX";
                ext_[(isMax ? 2 : 0) + (g.code == 20 ? 1 : 0)] = v;
                (isMax ? hasExtMax_ : hasExtMin_) = true;
            }
        } else if (inBlockHead) {
            if (g.code == 2)
                blockName = g.value;
            else if (g.code == 10)
                toDouble(g.value, pending.baseX);
            else if (g.code == 20)
                toDouble(g.value, pending.baseY);
        }
    }
    if (block) block->end = tokens.position(); // a block never ended runs to the end
    if (tokens.bad()) return DE_SYNTAX;
    return sawSection ? DE_OK : DE_NOT_DXF;
}

bool DxfScene::headerExtents(double& x0, double& y0, double& x1, double& y1) const {
    if (!hasExtMin_ || !hasExtMax_) return false;
    for (double v : ext_)
        if (!std::isfinite(v) || std::fabs(v) > kMaxCoordinate) return false;
    if (ext_[2] < ext_[0] || ext_[3] < ext_[1]) return false;
    if (ext_[2] == ext_[0] && ext_[3] == ext_[1]) return false;
    x0 = ext_[0], y0 = ext_[1], x1 = ext_[2], y1 = ext_[3];
    return true;
}

int32_t DxfScene::draw(SegmentSink& sink, const std::function<bool(int32_t)>& progress,
                       const DxfLimits& limits) const {
    EntityWalker walker(*this, sink, progress, limits);
    return walker.walk();
}

} // namespace dxfcore
