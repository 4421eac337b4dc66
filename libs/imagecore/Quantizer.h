#pragma once
// Colour reduction: the heart of GIF quality. Builds an optimal palette for a
// true-colour picture and maps it, with or without error diffusion.
#include "libs/imagecore/Dib.h"
#include <vector>

namespace ic {

// How mapping spreads the error of each pixel: not at all, by error
// diffusion (Floyd-Steinberg or Burkes, serpentine) or by an 8x8 Bayer
// threshold matrix whose strength is the palette's spacing. The soft
// Floyd-Steinberg and Burkes spread four fifths of the error (less noise).
enum class Dither : uint8_t { None, FloydSteinberg, Burkes, Bayer, SoftFloydSteinberg };

// An optimal palette of at most maxColors entries (1..256) for the picture.
// A picture of at most maxColors distinct colours gets exactly those colours
// (most used first), so mapping it is lossless.
std::vector<RGBQUAD> buildPalette(const RgbImage& image, int maxColors);

// A new packed DIB of `bits` (1, 4 or 8) bits per pixel: the picture mapped
// onto `palette` (at most 2^bits entries) with Floyd-Steinberg error diffusion
// when dither is set, nearest colour otherwise. 0 on failure.
HGLOBAL mapToPalette(const RgbImage& image, const std::vector<RGBQUAD>& palette, int bits,
                     bool dither);
HGLOBAL mapToPalette(const RgbImage& image, const std::vector<RGBQUAD>& palette, int bits,
                     Dither dither);

// buildPalette + mapToPalette: the reduction of a true-colour picture.
HGLOBAL reduceToPalette(const RgbImage& image, int bits, bool dither);

// `count` (1..256) evenly spaced greys from black to white.
std::vector<RGBQUAD> greyPalette(int count);

// The smallest DIB depth (1, 4 or 8) that holds `colors` palette entries.
int depthForColors(int colors);

// At most `colors` (1..256) colours at the smallest depth that holds them:
// an optimal palette mapped with `dither`, or, with grey, the picture's
// luminance on `colors` evenly spaced greys (Floyd-Steinberg). 0 on failure.
HGLOBAL reduceColors(const RgbImage& image, int colors, Dither dither, bool grey);

// The pixels of any parsed DIB as 0x00RRGGBB words, top row first; empty
// when those words would pass the pixel memory limit.
std::vector<uint32_t> toRgb(const DibView& dib);

} // namespace ic
