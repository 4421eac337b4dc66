#pragma once
// ImageMagick's -coalesce as the independent reference for composed GIF
// frames, and the one comparison that allows for where it differs from
// browsers: it starts the canvas opaque in the background colour where
// browsers start transparent.
#include "TestSupport.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace magick {

// Every coalesced frame as 0xAARRGGBB words, top row first; none when
// convert fails. Works in dir.
inline std::vector<std::vector<uint32_t>> coalesce(const std::filesystem::path& gif,
                                                   const std::filesystem::path& dir) {
    const std::string command =
        "/usr/bin/convert '" + gif.string() +
        "' -coalesce +adjoin -depth 8 'rgba:" + (dir / "im-%d.rgba").string() + "' 2>/dev/null";
    std::vector<std::vector<uint32_t>> frames;
    if (std::system(command.c_str()) != 0) return frames;
    for (int i = 0;; ++i) {
        const auto file = dir / ("im-" + std::to_string(i) + ".rgba");
        if (!std::filesystem::exists(file)) break;
        const auto bytes = testsupport::readFile(file);
        std::vector<uint32_t>& frame = frames.emplace_back(bytes.size() / 4);
        for (size_t p = 0; p < frame.size(); ++p) {
            const unsigned char* b = &bytes[p * 4];
            frame[p] = uint32_t(b[3]) << 24 | uint32_t(b[0]) << 16 | uint32_t(b[1]) << 8 | b[2];
        }
    }
    return frames;
}

// Where our width x height frame differs from ImageMagick's: "" when they
// agree. Both transparent counts as equal whatever the colour; with
// `background` set, that opaque colour opposite our transparent is accepted.
inline std::string difference(const uint32_t* ours, int width, int height,
                              const std::vector<uint32_t>& theirs, const uint32_t* background) {
    if (theirs.size() != size_t(width) * size_t(height))
        return "ImageMagick's frame has " + std::to_string(theirs.size()) + " pixels";
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t mine = ours[size_t(y) * size_t(width) + size_t(x)];
            const uint32_t other = theirs[size_t(y) * size_t(width) + size_t(x)];
            if (mine == other || (mine >> 24 == 0 && other >> 24 == 0)) continue;
            if (mine >> 24 == 0 && background && other == *background) continue;
            char text[96];
            std::snprintf(text, sizeof text, "(%d,%d) ours %08X, ImageMagick %08X", x, y, mine,
                          other);
            return text;
        }
    return "";
}

} // namespace magick
