#pragma once
// Window metrics, in pixels, under their Windows names: the sizes the caption
// painter lays the title bar out with. One fixed table (Metrics.cpp) sized for
// today's screens at 96 dots per inch; every caller reads the same values, so
// the painter and its tests agree.
#include "platform/PlatformExport.h"
#include <cstdint>

constexpr int32_t SM_CYCAPTION = 4;    // caption height
constexpr int32_t SM_CXDLGFRAME = 7;   // frame of a fixed-size window, each side
constexpr int32_t SM_CYDLGFRAME = 8;   //
constexpr int32_t SM_CXSIZE = 30;      // title-bar button width
constexpr int32_t SM_CYSIZE = 31;      // title-bar button height
constexpr int32_t SM_CXFRAME = 32;     // frame of a sizeable window, each side
constexpr int32_t SM_CYFRAME = 33;     //
constexpr int32_t SM_CXSMICON = 49;    // small icon
constexpr int32_t SM_CYSMICON = 50;    //
constexpr int32_t SM_CYSMCAPTION = 51; // tool-window caption height
constexpr int32_t SM_CXSMSIZE = 52;    // tool-window button width
constexpr int32_t SM_CYSMSIZE = 53;    // tool-window button height

// The metric's value; 0 for an index the table does not hold (as Windows).
ZP_API int32_t GetSystemMetrics(int32_t index);
