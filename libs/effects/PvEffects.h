#pragma once
// The effects library's C boundary (libq3spec32.so). Rules as the codec's
// (PvCodec.h): no exceptions cross it, callbacks answer 1 to go on and 0 to
// stop. A DIB is a packed DIB in a global block, passed by handle. Unless
// noted, an operation leaves its input as it was and answers a NEW block the
// caller owns, or 0 (none) on failure, bad input or a stop from the
// progress callback. Area effects take the area as left, top ... bottom,
// right in image pixels; a right or bottom of 0 means the width or height;
// pixels outside the area are copied unchanged. Operations marked 24 take
// 24-bit DIBs only (the binding promotes and reduces around them).
// Parameter ranges are those of the effects dialog's bars; each entry's
// comment says what its values mean.
#include "libs/codec/PvCodec.h"
#include <cstdint>

#define PVEFFECTS_API extern "C" __attribute__((visibility("default")))

extern "C" {
// Shows an intermediate picture of Warp (the caller must not keep or free it).
typedef int16_t (*PVWarpCallback)(uintptr_t dib, void* user);

// The common shape of area effects: (dib, left, top, progress, user, ..., bottom, right).
typedef uintptr_t (*PFN_Area1)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, int32_t value, int32_t bottom, int32_t right);
typedef uintptr_t (*PFN_Area0)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, int32_t bottom, int32_t right);
typedef uintptr_t (*PFN_AreaReal)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                                  void* user, double value, int32_t bottom, int32_t right);
typedef uintptr_t (*PFN_Area2)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, int32_t a, int32_t b, int32_t bottom, int32_t right);
typedef uintptr_t (*PFN_Area3)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, int32_t a, int32_t b, int32_t c, int32_t bottom,
                               int32_t right);
typedef uintptr_t (*PFN_Area4)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, int32_t a, int32_t b, int32_t c, int32_t d,
                               int32_t bottom, int32_t right);
typedef uintptr_t (*PFN_Area5)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                               void* user, int32_t a, int32_t b, int32_t c, int32_t d, int32_t e,
                               int32_t bottom, int32_t right);
// Blur, Bled, Better, Edge, Engrave, OilPainting, PixelFix: PFN_Area1.
// PinchHole, Whirl: PFN_AreaReal. GrayArea, AutoContrast: PFN_Area0.
// Spray (randomness, amount), ThresholdDib (antialias, level): PFN_Area2.
// Motion (kind, angle, amount), Jiggle (wave form, amplitude, period): PFN_Area3.
// FadeDib (blue, green, red, edge width), RecToPolar (background, inverse,
// angle, value): PFN_Area4.
// Noise (blue, green, red, use grey, gauss), Enhance (gamma blue, gamma
// green, gamma red, contrast, brightness): PFN_Area5.
// Neighbourhood and tone effects (neighbours beyond the picture repeat its edge):
// Blur: 1..100 = radius of a Gaussian-like blur (three box passes, sigma ~ radius).
// Bled: -255..255, 0 none; colours run right and down (negative: left and up), |amount|/255 =
// reach. Better: 1..9 sharpens (unsharp mask, gain amount/4), -1..-9 softens (|amount|/9 of a
// blur), 0 none. Edge: 1..100 = gain of the Sobel edge strength per channel on black (1: a full
// step is white). Engrave: 1..10 = relief depth of a grey engraving lit from the top left (flat =
// mid-grey). OilPainting: 0..50 = brush radius (0 none); the commonest of 32 brightness levels
// wins. PixelFix: 0..100 = tolerance: a channel further than it from its 3x3 median takes the
// median. GrayArea: the area in grey (Rec. 601 luma). AutoContrast: brightness stretched to 0..255,
//   the darkest and lightest 0.5 % ignored, one mapping for all channels.
// Motion: kind 1 zoom toward the area's centre (amount/1000 of the way, angle unused), 2 rotate
//   (an arc of `angle` degrees round it, amount unused), 3 line (a trail of `amount` pixels
//   behind the motion along `angle` degrees, counter-clockwise from the right); other kinds none.
// ThresholdDib: luma >= level (0..255) white, else black; antialias 1 = a 16-level grey ramp.
// FadeDib: colour 0..255 each; a pixel d pixels in from the area's rim keeps d/width of its own
//   colour (width 1..1000): the rim is the colour, width pixels in nothing changes.
// Noise: per-channel amount 0..255: uniform in +-amount, or (gauss 1) Gaussian with sigma
//   amount/2; use grey 1 = one draw per pixel for all channels; repeatable (seeded by position).
// Enhance: gamma 1..255 per channel, 10 = 1.0, above brightens mid-tones; contrast -255 (flat
//   grey) .. 255 (hard step) around mid-grey; then brightness -255..255 added.
// Geometric effects sample bilinearly inside the area (edges clamped); the
// area is the picture they bend, its inscribed ellipse the unit circle:
// PinchHole: -20..0 (0 none, -20 strongest hole); positive values bulge.
// Whirl: swirl angle at the centre in tenths of a degree, fading to 0 at the rim.
// Spray: randomness 1..360 = share of pixels moved (360 all); each takes a pixel
//   up to `amount` (0..100, 0 none) away in x and y; fixed per-pixel pattern.
// Jiggle: rows shifted sideways; wave form 0 sine, 1 triangle; amplitude =
//   largest shift in pixels; period = number of waves down the area.
// RecToPolar: inverse 0 wraps rows into rings (top row at the centre) and
//   columns round the centre, -1 unrolls the disc back; background -1 runs
//   the radius backwards (top row at the rim); angle = start angle in degrees
//   (counter-clockwise); value = times the picture goes round (0, 1 once).
// Wave: columns moved up and down by amplitude (tenths of a pixel) * sin(2 pi
// x / length + phase (tenths of a degree)); length 0 = none. Samples beyond
// the area are mirrored (reflect), else the edge rows smeared (smear), else
// the pixel is left as it was.
typedef uintptr_t (*PFN_Wave)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                              void* user, int32_t reflect, int32_t smear, double phase,
                              int32_t length, double amplitude, int32_t bottom, int32_t right);
// Curl: the first corner flagged (rightBottom, leftBottom, rightTop,
// leftTop; none = right bottom) rolls back over the page around a cylinder,
// diagonally, or upward/downward with only overHorizontal, sideways with only
// overVertical; shading 0..4 darkens the roll. The back of the page shows the
// picture mirrored, or the fore/back colour (curlUse*Colour); the uncovered
// part shows the picture (keepImageUnder), else the fore colour
// (backUseForeColour alone), else the back colour; shadeUnder casts a shadow.
typedef uintptr_t (*PFN_Curl)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                              void* user, int32_t shading, COLORREF fore, COLORREF back,
                              int32_t overHorizontal, int32_t overVertical, int32_t rightBottom,
                              int32_t leftBottom, int32_t rightTop, int32_t leftTop,
                              int32_t shadeUnder, int32_t curlUseForeColour,
                              int32_t curlUseBackColour, int32_t keepImageUnder,
                              int32_t backUseBackColour, int32_t backUseForeColour, int32_t bottom,
                              int32_t right);
// Mosaic: tiles of size/10 pixels (min 2) in grout of the back colour,
// space = grout width in % of a tile (max 90); surface 1 flat tiles in their
// mean colour, 0 the picture kept on them; type 1 bricks (rows offset half a
// tile); random 0..5 varies tile brightness by up to 4 % per step; bevelled
// rims of height/10 pixels lit from `light` degrees (counter-clockwise from
// the right), highlights going towards the fore colour; antialias smooths
// the tile edges.
typedef uintptr_t (*PFN_Mosaic)(uintptr_t dib, int32_t left, int32_t top, PVProgressCallback cb,
                                void* user, COLORREF back, COLORREF fore, int32_t antialias,
                                int32_t surface, int32_t type, int32_t random, int32_t light,
                                int32_t space, int32_t height, int32_t size, int32_t bottom,
                                int32_t right);
// Warp (whole picture): the picture flows along a field made from its
// colours averaged over scale x scale cells: direction from hue (rgbToHue)
// or lightness, turned by vectorRotation degrees; length 1, or the
// saturation (rgbToSaturation). `steps` (1..200) pictures, together moved
// `displacement` pixels, each handed to `vector` (0 from it stops: none);
// convolve shows each step (and the result) smoothed 1-2-1.
typedef uintptr_t (*PFN_Warp)(uintptr_t dib, int32_t rgbToHue, int32_t rgbToSaturation,
                              PVWarpCallback vector, PVProgressCallback cb, void* user,
                              int32_t displacement, int32_t steps, int32_t vectorRotation,
                              int32_t scale, int32_t convolve);
// HToneImage: black dots on white, cellSize 1..100 pixels, shape 0 circle, 1 ellipse, 2 square,
//   3 diamond, 4 line, 5 cross; the screen turned by angle degrees; ink share follows darkness.
typedef uintptr_t (*PFN_HToneImage)(uintptr_t dib, int32_t cellSize, int32_t shape,
                                    PVProgressCallback cb, void* user, double angle);
// ExtrudeDib: blocks of 2 * value + 4 pixels (value 1..50) in their mean colour with a bevel lit
//   from the top left, a quarter of the block wide; levels 1 = brighter blocks stand higher.
typedef uintptr_t (*PFN_ExtrudeDib)(uintptr_t dib, int32_t levels, int32_t value,
                                    PVProgressCallback cb, void* user);
// TileDib: a picture of the same size whose opposite edges join without a seam.
typedef uintptr_t (*PFN_TileDib)(uintptr_t dib, void* user, PVProgressCallback cb);
// PVBrightness: -255..255 added to every channel. PVGamma: 1..100, 10 = gamma 1.0 (dialog
//   10..50), above brightens mid-tones: v' = 255 (v / 255)^(10 / value).
typedef uintptr_t (*PFN_PVBrightness)(uintptr_t dib, int32_t amount);
typedef uintptr_t (*PFN_PVGamma)(uintptr_t dib, int32_t value);
// ScaleDib: any depth in; width, height 1..65535 with the 24-bit result within
//   1 GiB; area averaging where it shrinks, bilinear where it grows; bits 24,
//   or 1/4/8 (optimal palette, Floyd).
typedef uintptr_t (*PFN_ScaleDib)(uintptr_t dib, int32_t width, int32_t height, int32_t bits);
// pvHueAndSaturation: in HSL; brightness -100..100 moves lightness toward black/white,
//   saturation -100 (grey) .. 100 (double), hue shift in degrees; the channel flags pick
//   60-degree hue sectors (red at 0, yellow, green, cyan, blue, magenta); unless all six are
//   set, greys stay and the hue arrives offset by 120 (the dialog adds it), so 120 = no shift.
// Replaces *dib (the old block is freed) and answers 1; 0 leaves it.
typedef int32_t (*PFN_pvHueAndSaturation)(uintptr_t* dib, int32_t red, int32_t green,
                                          PVProgressCallback cb, void* user, int32_t left,
                                          int32_t top, int32_t right, int32_t bottom,
                                          int32_t brightness, int32_t saturation, int32_t hue,
                                          int32_t cyan, int32_t magenta, int32_t yellow,
                                          int32_t blue);
// MergeDib / DropDib: overlay at (x, y); the key colour (red, green, blue,
// each -1 = no key colour) is transparent in the overlay. Both 24 bits, the
// overlay clipped to the picture; Merge blends half and half, Drop pastes.
typedef uintptr_t (*PFN_MergeDib)(uintptr_t dib, uintptr_t overlay, int32_t red, int32_t x,
                                  int32_t y, int32_t blue, int32_t green);
// In place; answer 1.
// PVInvert: any depth (a palette picture through its table). PVMirror: any depth; vertical
//   turns it upside down, horizontal swaps left and right (non-zero = yes).
typedef int32_t (*PFN_PVInvert)(uintptr_t dib);
typedef int32_t (*PFN_PVMirror)(uintptr_t dib, int32_t vertical, int32_t horizontal);
// A new block holding the area rotated by angle degrees (counter-clockwise),
// sized to hold it all, the corners filled with fill.
// Any depth; quarter turns move pixels exactly; other angles sample
// bilinearly at 24 bits (the fill blended at the edges), nearest at 1/4/8
// bits (palette kept, fill = its nearest entry). 0 for a NaN/infinite angle.
typedef uintptr_t (*PFN_PVRotate)(uintptr_t dib, int32_t left, int32_t top, COLORREF fill,
                                  double angle, int32_t bottom, int32_t right);
// Replaces the bitmap and palette handles (old ones deleted); answer 1.
// With a palette the picture rotates as 8 bits on that palette, else at 24.
typedef int32_t (*PFN_PVRotateBMP)(uintptr_t* bitmap, uintptr_t* palette, int32_t left, int32_t top,
                                   COLORREF fill, double angle, int32_t bottom, int32_t right);
// dither: 0 Bayer (ordered), 1 Burkes, 2 Floyd-Steinberg, 3 grey palette.
// colours 1..256 (any depth in); result at 1 bit for <= 2 colours, 4 for <= 16,
// else 8; 1 and 2 diffuse four fifths of the error (less noise); 3 gives
// the luminance on `colours` even greys (Floyd-Steinberg).
typedef uintptr_t (*PFN_PVReduceColors)(uintptr_t dib, int32_t colours, int32_t dither);
// ReduceDib: bits 1/4/8 (the picture's own colours when they fit, else an
// optimal palette, Floyd-Steinberg); progress at start and end.
typedef uintptr_t (*PFN_ReduceDib)(uintptr_t dib, int32_t bits, int32_t zero, PVProgressCallback cb,
                                   void* user, int32_t zero2);
// The source area resized to newWidth x newHeight, left in the same block
// (resized with GlobalReAlloc, so the caller's handle stays valid).
// mode: 0 copy, 1 AND, 2 OR, +10 area-average antialias, +20 antialias to
// 256 greys. Answers 1, or a negative code.
// Any depth. 0/1/2 keep depth and palette: 0 takes the nearest pixel, 1 ANDs
// (2 ORs) the bytes of every pixel an output pixel covers (keeps thin dark or
// light lines). 10..19 smooth (area average / bilinear); an indexed picture is
// mapped back onto its own palette. 20 and more: 8-bit, 256 greys, smooth.
// The area's right and bottom are inclusive (all four 0 = whole; 0 or the
// size = the edge); a new width or height of 0 keeps the area's. Codes: -1
// bad DIB, -2 bad area or size, -3 no memory or block locked, -4 bad mode.
typedef int32_t (*PFN_PVImageCopy)(uintptr_t dib, int32_t newWidth, int32_t newHeight, int32_t mode,
                                   int32_t bottom, int32_t right, int32_t top, int32_t left);
// IDDBtoDIB: bits 1/4/8/24; nearest colours (no dither) onto the palette
// when it fits, else an optimal one.
typedef uintptr_t (*PFN_IDDBtoDIB)(uintptr_t bitmap, uintptr_t palette, int32_t bits);
// ScaleToGray mode 0..7 (shrink factor, greys): 0 (1, 256), 1 (2, 16),
// 2 (3, 16), 3 (5, 16), 4 (6, 16), 5 (6, 256), 6 (4, 16), 7 (4, 256); area
// averaged, 16 greys at 4 bits, 256 at 8; value2, value3 unused.
typedef uintptr_t (*PFN_ScaleToGray)(uintptr_t dib, int32_t mode, int32_t value2, int32_t value3);
// Transitions draw the picture onto a device context step by step
// (platform/Gdi.h device contexts), waiting `delay` milliseconds between
// steps while the context's owner repaints. Answer 1.
// Drawn at the surface's top left, clipped; thickness (clamped to 1..size)
// is the band or square size; bands alternate (even ones first); rectangles
// grow from the centre; at most 64 steps, each followed by the surface's
// presenter and `delay` ms (clamped to 0..1000). 0 for a bad handle.
typedef int32_t (*PFN_FXSkip)(uintptr_t dc, uintptr_t picture, int32_t thickness, int32_t delay);
typedef int32_t (*PFN_FXSkipRectangles)(uintptr_t dc, uintptr_t picture, int32_t delay);
}
