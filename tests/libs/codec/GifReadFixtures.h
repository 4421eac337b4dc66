#pragma once
// GIF files for the decoder tests, written by giflib's encoder, and giflib's
// own decoding of any GIF for comparison.
#include <cstdint>
#include <string>
#include <vector>

namespace gifread {

struct FrameSpec {
    int left = 0, top = 0, width = 1, height = 1;
    bool interlaced = false;
    std::vector<uint8_t> localPalette; // RGB triples, a power of two of them; empty = none
    bool control = false;              // write a graphic control extension
    int disposal = 0;
    bool transparent = false;
    int transparentIndex = 0;
    int delay = 0;
    std::vector<std::string> commentsBefore; // comment blocks written before the image
    std::vector<uint8_t> pixels;             // width * height indices, top row first
};

struct GifSpec {
    int width = 1, height = 1;
    std::vector<uint8_t> globalPalette; // RGB triples; empty = none
    int background = 0;
    int aspect = 0;
    int loops = -1; // -1: no loop extension
    std::vector<FrameSpec> frames;
};

// A table of n entries with distinct colours derived from seed.
std::vector<uint8_t> palette(int n, int seed);
// width * height indices below `colours`, pseudo-random from seed.
std::vector<uint8_t> pixels(int width, int height, int colours, int seed);

std::vector<uint8_t> encode(const GifSpec& spec);

struct DecodedFrame {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
    std::vector<uint8_t> colours; // RGB triples of the table in effect
    std::vector<uint8_t> pixels;  // indices, top row first
};

struct Decoded {
    bool ok = false;
    int width = 0, height = 0;
    std::vector<DecodedFrame> frames; // zero-size images left out
};

Decoded decodeWithGiflib(const std::vector<uint8_t>& bytes);

} // namespace gifread
