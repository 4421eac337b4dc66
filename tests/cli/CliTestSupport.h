#pragma once
// Command-line tests: GIFs written with the program's own encoder, giflib's
// count of each image's LZW bytes, and the tool run as a child process.
#include "TestSupport.h"
#include "imaging/animated/AnimationFixtures.h"

#include <gif_lib.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace clitest {

namespace fs = std::filesystem;

struct Frame {
    int left, top, width, height, delay, disposal, transparent; // transparent -1: none
    bool interlaced, local; // local: a table of its own, as large as the global one
    std::function<uint8_t(int x, int y)> pixel;
};

struct Gif {
    int width, height, bits, background, loops; // bits of every frame; loops 1: no loop block
    std::vector<std::string> comments;
    std::vector<Frame> frames;
};

inline RGBQUAD colour(int i) {
    return {uint8_t(255 - i * 29), uint8_t(i * 97), uint8_t(i * 53), 0};
}

inline void writeGif(const fs::path& path, const Gif& g) {
    PVAnimationModel model;
    for (const Frame& f : g.frames) {
        auto* r = fixtures::frame(f.width, f.height, g.bits, f.pixel,
                                  f.local ? [](int i) { return colour(i + 7); } : colour);
        r->Left = int16_t(f.left), r->Top = int16_t(f.top), r->Delay = uint16_t(f.delay);
        r->Disposal = uint8_t(f.disposal), r->Interlaced = f.interlaced,
        r->UseLocalPalette = f.local;
        r->HasTransparency = f.transparent >= 0, r->TransparentIndex = uint8_t(f.transparent);
        model.Frames()->push_back(r);
    }
    TMyGifAnimation& first = *model.Frames()->front();
    first.ScreenWidth = uint16_t(g.width), first.ScreenHeight = uint16_t(g.height),
    first.Loops = g.loops;
    const RGBQUAD b = colour(g.background);
    first.BackgroundColor = RGB(b.rgbRed, b.rgbGreen, b.rgbBlue);
    for (const std::string& c : g.comments)
        model.Comments()->push_back(new TStringList(SplitLines(c)));
    model.SaveToFile(path.string());
}

inline std::vector<long> lzwBytes(const fs::path& path) {
    int error = 0, code = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    std::vector<long> sizes;
    GifRecordType type;
    GifByteType* block = nullptr;
    while (gif && DGifGetRecordType(gif, &type) == GIF_OK && type != TERMINATE_RECORD_TYPE) {
        if (type == IMAGE_DESC_RECORD_TYPE && DGifGetImageDesc(gif) == GIF_OK) {
            sizes.push_back(0);
            for (DGifGetCode(gif, &code, &block); block; DGifGetCodeNext(gif, &block))
                sizes.back() += block[0];
        } else if (type == EXTENSION_RECORD_TYPE) {
            for (DGifGetExtension(gif, &code, &block); block; DGifGetExtensionNext(gif, &block)) {
            }
        }
    }
    DGifCloseFile(gif, &error);
    return sizes;
}

struct ToolRun {
    int status;
    std::string out, err;
};

// bin/zentrope-gif beside this test program, with arguments as a shell
// would split them (the test's paths hold no blanks).
inline ToolRun runTool(const std::string& args) {
    static const fs::path dir = testsupport::tempDir("cli-run");
    const fs::path tool = fs::read_symlink("/proc/self/exe").parent_path() / "zentrope-gif";
    const std::string command =
        tool.string() + " " + args + " >" + (dir / "out").string() + " 2>" + (dir / "err").string();
    const int raw = std::system(command.c_str());
    auto text = [](const fs::path& p) {
        const auto bytes = testsupport::readFile(p);
        return std::string(bytes.begin(), bytes.end());
    };
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text(dir / "out"), text(dir / "err")};
}

} // namespace clitest
