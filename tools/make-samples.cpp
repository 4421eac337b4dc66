// make-samples FOLDER: writes the sample animations into FOLDER through the
// same model and codec the program uses, and a still picture as a BMP file.
#include "bindings/CodecBinding.h"
#include "imaging/animated/PVAnimationModel.h"
#include "imaging/animated/PVTDib.h"
#include "platform/GlobalMemory.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <utility>

namespace fs = std::filesystem;

namespace {

// An 8-bit frame whose pixel (x, y) is index(x, y) over the palette.
TMyGifAnimation* makeFrame(int width, int height, const std::vector<RGBQUAD>& palette,
                           const std::function<uint8_t(int, int)>& index) {
    PVWebImg::PVTDib dib;
    if (!dib.CreateDib(0, width, 8, height)) return nullptr;
    for (size_t i = 0; i < palette.size() && i < 256; ++i)
        dib.ColorTable()[i] = palette[i];
    const int stride = (width + 3) & ~3;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            dib.Bits()[size_t(height - 1 - y) * stride + x] = index(x, y);
    auto* record = new TMyGifAnimation;
    record->Name = "New Frame";
    record->Width = int16_t(width);
    record->Height = int16_t(height);
    dib.OwnsDib = false;
    record->DibHandle = GlobalHandle(dib.Dib());
    GlobalUnlock(record->DibHandle);
    return record;
}

std::vector<RGBQUAD> rainbow() {
    std::vector<RGBQUAD> p(256);
    for (int i = 0; i < 256; ++i) {
        const double h = i / 256.0 * 6.283;
        p[i] =
            RGBQUAD{uint8_t(128 + 127 * std::sin(h + 4.19)),
                    uint8_t(128 + 127 * std::sin(h + 2.09)), uint8_t(128 + 127 * std::sin(h)), 0};
    }
    p[0] = RGBQUAD{40, 30, 20, 0};      // background
    p[255] = RGBQUAD{255, 255, 255, 0}; // transparent key
    return p;
}

bool save(PVAnimationModel& model, const fs::path& file, uint16_t width, uint16_t height,
          int loops) {
    for (TMyGifAnimation* f : *model.Frames()) {
        f->ScreenWidth = width;
        f->ScreenHeight = height;
        f->ScreenColors = 255;
        f->Loops = loops;
    }
    try {
        model.SaveToFile(file.string());
    } catch (const ErrorInvalid& e) {
        std::fprintf(stderr, "make-samples: %s: %s\n", file.c_str(), e.what());
        return false;
    }
    return true;
}

// A ball bouncing over a gradient floor; disposal 2 clears its old place.
bool bouncingBall(const fs::path& file) {
    PVAnimationModel model;
    const auto palette = rainbow();
    // Frame 0 is the floor alone: the sky is the transparent screen, so the
    // places that disposal 2 clears match what is around them.
    TMyGifAnimation* floor =
        makeFrame(200, 24, palette, [](int x, int) { return uint8_t(1 + (x / 8) % 200); });
    floor->Top = 126;
    floor->Disposal = 1;
    floor->Delay = 20;
    model.Frames()->push_back(floor);
    // Each ball clears its own place (disposal 2) before the next is drawn.
    auto ballAt = [](int i) {
        return std::pair{10 + i * 7, int(100 - 90 * std::fabs(std::sin(i * 3.14159 / 12)))};
    };
    for (int i = 0; i < 24; ++i) {
        const auto [bx, by] = ballAt(i);
        TMyGifAnimation* f = makeFrame(24, 24, palette, [i](int x, int y) {
            const int dx = x - 12, dy = y - 12;
            return uint8_t(dx * dx + dy * dy < 121 ? 20 + (i * 9 + x + y) % 200 : 255);
        });
        f->Left = int16_t(bx);
        f->Top = int16_t(by);
        f->Disposal = 2;
        f->HasTransparency = 1;
        f->TransparentIndex = 255;
        f->Delay = 6;
        model.Frames()->push_back(f);
    }
    model.Comments()->push_back(new TStringList{"Bouncing ball", "made by make-samples"});
    return save(model, file, 200, 150, 0);
}

// Interlaced full frames of a rotating colour wheel.
bool colourWheel(const fs::path& file) {
    PVAnimationModel model;
    const auto palette = rainbow();
    for (int i = 0; i < 12; ++i) {
        TMyGifAnimation* f = makeFrame(120, 120, palette, [i](int x, int y) {
            const double a = std::atan2(y - 60, x - 60) + i * 0.5236;
            const double r = std::hypot(x - 60, y - 60);
            return uint8_t(r > 58 ? 0 : 1 + int((a + 3.14159) / 6.2832 * 250) % 250);
        });
        f->Interlaced = 1;
        f->Delay = 8;
        f->Disposal = 1;
        model.Frames()->push_back(f);
    }
    return save(model, file, 120, 120, 0);
}

// A 24-bit still picture: sky, sun and hills, written as a plain BMP file.
bool stillPicture(const fs::path& file) {
    const int w = 320, h = 200;
    PVWebImg::PVTDib dib;
    if (!dib.CreateDib(0, w, 24, h)) return false;
    const int stride = (w * 3 + 3) & ~3;
    for (int y = 0; y < h; ++y) {
        uint8_t* row = dib.Bits() + size_t(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const double hill = 140 + 25 * std::sin(x / 40.0) + 10 * std::sin(x / 13.0);
            const double sun = std::hypot(x - 240, y - 50);
            uint8_t r = uint8_t(90 + y / 2), g = uint8_t(150 + y / 4), b = 235;
            if (sun < 26) r = 255, g = uint8_t(220 - sun * 2), b = 60;
            if (y > hill) r = uint8_t(40 + (x + y) % 30), g = uint8_t(120 + (y - hill)), b = 50;
            row[x * 3] = b, row[x * 3 + 1] = g, row[x * 3 + 2] = r;
        }
    }
    const uint32_t dibBytes = dib.BitsOffset() + uint32_t(stride) * h;
    uint8_t header[14] = {'B', 'M'};
    const uint32_t total = 14 + dibBytes, offset = 14 + dib.BitsOffset();
    std::memcpy(header + 2, &total, 4);
    std::memcpy(header + 10, &offset, 4);
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(header), 14);
    out.write(reinterpret_cast<const char*>(dib.Dib()), dibBytes);
    if (!out) std::fprintf(stderr, "make-samples: cannot write %s\n", file.c_str());
    return bool(out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-samples FOLDER\n");
        return 2;
    }
    DLL96V1::Startup(argv[0]);
    const fs::path folder = argv[1];
    fs::create_directories(folder);
    bool ok = bouncingBall(folder / "bouncing-ball.gif");
    ok = colourWheel(folder / "colour-wheel.gif") && ok;
    ok = stillPicture(folder / "landscape.bmp") && ok;
    return ok ? 0 : 1;
}
