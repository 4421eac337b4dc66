#pragma once
// The screens a GIF file shows, decoded by giflib and composed here, apart
// from the program's own compositor: a transparent start, each frame's
// disposal applied before the next (2 clears its rectangle, 3 puts back what
// was there), transparent pixels keeping what is below, indices beyond the
// table opaque black, frames clipped to the screen. Pixels are 0xAARRGGBB,
// 0 where nothing shows.
#include <algorithm>
#include <cstdint>
#include <gif_lib.h>
#include <string>
#include <vector>

namespace giflibscreens {

struct Screens {
    int width = 0, height = 0;
    std::vector<std::vector<uint32_t>> frames;
    std::vector<int> delays; // hundredths of a second
    std::string error;       // giflib's complaint; empty when read
};

inline Screens compose(const std::string& file) {
    Screens out;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(file.c_str(), &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) {
        const char* text = GifErrorString(gif ? gif->Error : error);
        out.error = text ? text : "unreadable";
        if (gif) DGifCloseFile(gif, &error);
        return out;
    }
    out.width = gif->SWidth;
    out.height = gif->SHeight;
    std::vector<uint32_t> canvas(size_t(out.width) * size_t(out.height), 0), saved;
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        const GifImageDesc& d = image.ImageDesc;
        GraphicsControlBlock gcb{0, false, 0, NO_TRANSPARENT_COLOR};
        DGifSavedExtensionToGCB(gif, i, &gcb);
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        const int x0 = std::max(0, d.Left), y0 = std::max(0, d.Top);
        const int x1 = std::min(out.width, d.Left + d.Width);
        const int y1 = std::min(out.height, d.Top + d.Height);
        if (gcb.DisposalMode == DISPOSE_PREVIOUS) saved = canvas;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const int index =
                    image.RasterBits[size_t(y - d.Top) * size_t(d.Width) + size_t(x - d.Left)];
                if (index == gcb.TransparentColor) continue;
                uint32_t colour = 0xFF000000u;
                if (map && index < map->ColorCount) {
                    const GifColorType& c = map->Colors[index];
                    colour |= uint32_t(c.Red) << 16 | uint32_t(c.Green) << 8 | c.Blue;
                }
                canvas[size_t(y) * size_t(out.width) + size_t(x)] = colour;
            }
        out.frames.push_back(canvas);
        out.delays.push_back(gcb.DelayTime);
        if (gcb.DisposalMode == DISPOSE_BACKGROUND) {
            for (int y = y0; y < y1; ++y)
                for (int x = x0; x < x1; ++x)
                    canvas[size_t(y) * size_t(out.width) + size_t(x)] = 0;
        } else if (gcb.DisposalMode == DISPOSE_PREVIOUS) {
            canvas = saved;
        }
    }
    DGifCloseFile(gif, &error);
    return out;
}

// Screens with consecutive repeats folded into one, their delays added:
// what an optimiser that merges identical frames must still show.
inline Screens folded(Screens s) {
    Screens out{s.width, s.height, {}, {}, s.error};
    for (size_t i = 0; i < s.frames.size(); ++i) {
        if (!out.frames.empty() && out.frames.back() == s.frames[i]) {
            out.delays.back() += s.delays[i];
            continue;
        }
        out.frames.push_back(std::move(s.frames[i]));
        out.delays.push_back(s.delays[i]);
    }
    return out;
}

} // namespace giflibscreens
