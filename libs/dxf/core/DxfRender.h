#pragma once
// A DXF drawing rendered black on white into a 1-bit DIB: fitted to the
// drawing's extents (the header's $EXTMIN/$EXTMAX when usable, else the
// extents of what is drawn) with its aspect ratio, the longer side
// kLongSide pixels including a margin of kMargin pixels on every side.
#include "libs/dxf/core/DxfScene.h"
#include "platform/GlobalBlock.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace dxfcore {

constexpr int32_t kLongSide = 1024;
constexpr int32_t kMargin = 4;

// The size the drawing renders at. DE_OK or a negative DxfError.
int32_t measureDxf(const uint8_t* data, size_t size, int32_t& width, int32_t& height,
                   const DxfLimits& limits = {});

// Renders the drawing (1-bit DIB: entry 0 black, entry 1 white).
int32_t renderDxf(const uint8_t* data, size_t size, const std::function<bool(int32_t)>& progress,
                  zp::GlobalBlock& out, const DxfLimits& limits = {});

} // namespace dxfcore
