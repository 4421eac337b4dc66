#include "GifReadFixtures.h"

#include <cstring>
#include <gif_lib.h>
#include <stdexcept>

namespace gifread {

namespace {

int writeToVector(GifFileType* gif, const GifByteType* data, int size) {
    auto* out = static_cast<std::vector<uint8_t>*>(gif->UserData);
    out->insert(out->end(), data, data + size);
    return size;
}

struct MemoryInput {
    const std::vector<uint8_t>* bytes;
    size_t pos = 0;
};

int readFromVector(GifFileType* gif, GifByteType* data, int size) {
    auto* in = static_cast<MemoryInput*>(gif->UserData);
    const size_t n = std::min(size_t(size), in->bytes->size() - in->pos);
    std::memcpy(data, in->bytes->data() + in->pos, n);
    in->pos += n;
    return int(n);
}

ColorMapObject* makeMap(const std::vector<uint8_t>& rgb) {
    if (rgb.empty()) return nullptr;
    const int n = int(rgb.size() / 3);
    std::vector<GifColorType> colours(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        colours[size_t(i)] = {rgb[i * 3], rgb[i * 3 + 1], rgb[i * 3 + 2]};
    return GifMakeMapObject(n, colours.data());
}

void check(int rc, const char* what) {
    if (rc != GIF_OK) throw std::runtime_error(std::string("giflib failed: ") + what);
}

void putBlocks(GifFileType* gif, int code, const std::vector<std::vector<uint8_t>>& blocks) {
    check(EGifPutExtensionLeader(gif, code), "leader");
    for (const auto& b : blocks)
        check(EGifPutExtensionBlock(gif, int(b.size()), b.data()), "block");
    check(EGifPutExtensionTrailer(gif), "trailer");
}

void putComment(GifFileType* gif, const std::string& text) {
    std::vector<std::vector<uint8_t>> blocks;
    for (size_t i = 0; i < text.size(); i += 255)
        blocks.emplace_back(text.begin() + ptrdiff_t(i),
                            text.begin() + ptrdiff_t(std::min(text.size(), i + 255)));
    putBlocks(gif, COMMENT_EXT_FUNC_CODE, blocks);
}

} // namespace

std::vector<uint8_t> palette(int n, int seed) {
    std::vector<uint8_t> p(size_t(n) * 3);
    for (int i = 0; i < n; ++i) {
        p[size_t(i) * 3] = uint8_t(i * 37 + seed * 11);
        p[size_t(i) * 3 + 1] = uint8_t(i * 91 + seed * 5 + 7);
        p[size_t(i) * 3 + 2] = uint8_t(255 - i);
    }
    return p;
}

std::vector<uint8_t> pixels(int width, int height, int colours, int seed) {
    std::vector<uint8_t> p(size_t(width) * height);
    uint32_t s = uint32_t(seed) * 2654435761u + 1;
    for (size_t i = 0; i < p.size(); ++i) {
        s = s * 1103515245u + 12345u;
        // Runs of equal pixels as well as noise, so long LZW strings occur.
        p[i] = (s >> 28) < 6 && i ? p[i - 1] : uint8_t((s >> 16) % uint32_t(colours));
    }
    return p;
}

std::vector<uint8_t> encode(const GifSpec& spec) {
    std::vector<uint8_t> out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToVector, &error);
    if (!gif) throw std::runtime_error("EGifOpen failed");
    EGifSetGifVersion(gif, true);
    ColorMapObject* global = makeMap(spec.globalPalette);
    check(EGifPutScreenDesc(gif, spec.width, spec.height, 8, spec.background, global), "screen");
    GifFreeMapObject(global);
    if (spec.loops >= 0) {
        const uint8_t id[] = {'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0'};
        putBlocks(gif, APPLICATION_EXT_FUNC_CODE,
                  {{id, id + 11}, {1, uint8_t(spec.loops), uint8_t(spec.loops >> 8)}});
    }
    for (const FrameSpec& f : spec.frames) {
        for (const std::string& c : f.commentsBefore)
            putComment(gif, c);
        if (f.control) {
            const uint8_t b[4] = {uint8_t((f.disposal & 7) << 2 | (f.transparent ? 1 : 0)),
                                  uint8_t(f.delay), uint8_t(f.delay >> 8),
                                  uint8_t(f.transparentIndex)};
            check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, b), "control");
        }
        ColorMapObject* local = makeMap(f.localPalette);
        check(EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, f.interlaced, local),
              "image");
        GifFreeMapObject(local);
        std::vector<uint8_t> row(size_t(f.width));
        auto put = [&](int y) {
            std::memcpy(row.data(), f.pixels.data() + size_t(y) * f.width, row.size());
            check(EGifPutLine(gif, row.data(), f.width), "line");
        };
        if (f.interlaced) {
            const int start[] = {0, 4, 2, 1}, step[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = start[pass]; y < f.height; y += step[pass])
                    put(y);
        } else {
            for (int y = 0; y < f.height; ++y)
                put(y);
        }
    }
    if (EGifCloseFile(gif, &error) != GIF_OK) throw std::runtime_error("EGifCloseFile failed");
    if (spec.aspect) out.at(12) = uint8_t(spec.aspect); // giflib always writes 0
    return out;
}

Decoded decodeWithGiflib(const std::vector<uint8_t>& bytes) {
    Decoded result;
    MemoryInput input{&bytes};
    int error = 0;
    GifFileType* gif = DGifOpen(&input, readFromVector, &error);
    if (!gif) return result;
    if (DGifSlurp(gif) == GIF_OK) {
        result.ok = true;
        result.width = gif->SWidth;
        result.height = gif->SHeight;
        for (int i = 0; i < gif->ImageCount; ++i) {
            const SavedImage& s = gif->SavedImages[i];
            const GifImageDesc& d = s.ImageDesc;
            if (d.Width == 0 || d.Height == 0) continue;
            DecodedFrame f;
            f.left = d.Left;
            f.top = d.Top;
            f.width = d.Width;
            f.height = d.Height;
            f.interlaced = d.Interlace;
            const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
            for (int c = 0; map && c < map->ColorCount; ++c) {
                f.colours.push_back(map->Colors[c].Red);
                f.colours.push_back(map->Colors[c].Green);
                f.colours.push_back(map->Colors[c].Blue);
            }
            f.pixels.assign(s.RasterBits, s.RasterBits + size_t(d.Width) * d.Height);
            result.frames.push_back(std::move(f));
        }
    }
    DGifCloseFile(gif, &error);
    return result;
}

} // namespace gifread
