#pragma once
// Palette design for pictures with more colours than the palette can hold:
// a 6-6-6 bit histogram, median cut by least squared error, then k-means.
#include "libs/imagecore/Dib.h"
#include <vector>

namespace ic {

// One histogram cell: the mean colour of the pixels that fell into it.
struct WeightedColor {
    float channel[3]; // red, green, blue, 0..255
    double weight;    // pixel count
};

// The non-empty cells of the picture's 6-6-6 bit histogram.
std::vector<WeightedColor> colorHistogram(const RgbImage& image);

// At most maxColors (1..256) entries, most used first. Deterministic.
std::vector<RGBQUAD> medianCutPalette(std::vector<WeightedColor> colors, int maxColors);

} // namespace ic
