// The compositor against ImageMagick's -coalesce on GIFs written here with
// giflib and on the shared corpus's animations, and against itself for
// random access.
#include "imaging/animated/PVCompositor.h"
#include "AnimationFixtures.h"
#include "MagickCoalesce.h"
#include "TestSupport.h"

#include <cstdlib>
#include <functional>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using PVWebImg::PVCompositor;

namespace {

const GifColorType kPalette[8] = {{0, 0, 0},     {250, 20, 20}, {20, 240, 30}, {30, 40, 230},
                                  {250, 250, 0}, {0, 200, 200}, {200, 0, 190}, {255, 255, 255}};

struct GifFrame {
    int left, top, width, height;
    int disposal;
    int transparent; // index, -1 = none
};

// Pixel (x, y) of frame n: a pattern that uses every index, 3 included.
uint8_t patternIndex(int n, int x, int y) {
    return uint8_t((x * 3 + y * 5 + n) % 8);
}

void writeGif(const fs::path& file, int width, int height, const std::vector<GifFrame>& frames) {
    int error = 0;
    GifFileType* gif = EGifOpenFileName(file.c_str(), false, &error);
    ASSERT_NE(gif, nullptr);
    ColorMapObject* map = GifMakeMapObject(8, kPalette);
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, 3, 0, map);
    GifFreeMapObject(map);
    for (size_t n = 0; n < frames.size(); ++n) {
        const GifFrame& f = frames[n];
        GraphicsControlBlock gcb{f.disposal, false, 5, f.transparent};
        GifByteType extension[4];
        EGifGCBToExtension(&gcb, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
        ASSERT_EQ(EGifPutImageDesc(gif, f.left, f.top, f.width, f.height, false, nullptr), GIF_OK);
        std::vector<GifPixelType> row(size_t(f.width));
        for (int y = 0; y < f.height; ++y) {
            for (int x = 0; x < f.width; ++x)
                row[size_t(x)] = patternIndex(int(n), x, y);
            EGifPutLine(gif, row.data(), f.width);
        }
    }
    EGifCloseFile(gif, &error);
}

// Loads through the model (the codec's reader, as the program does), then
// compares every composed frame with ImageMagick's; false, checking
// nothing, for a file of fewer than two frames. With allowBackground,
// ImageMagick's opaque start (the background colour, white without a
// global table) may stand where ours is transparent.
bool sameAsImageMagick(const fs::path& gif, const fs::path& dir, bool allowBackground) {
    PVAnimationModel model;
    model.MapTransparentColor = RGB(1, 2, 3); // must never show
    try {
        model.LoadFromFile(gif.string());
    } catch (const std::exception&) {
        return false;
    }
    if (model.Frames()->size() < 2) return false;
    const TMyGifAnimation& first = *model.Frames()->front();
    const COLORREF b = first.BackgroundColor;
    const uint32_t background =
        first.ScreenColors ? 0xFF000000u | GetRValue(b) << 16 | GetGValue(b) << 8 | GetBValue(b)
                           : 0xFFFFFFFFu;
    fs::create_directories(dir);
    const auto reference = magick::coalesce(gif, dir);
    EXPECT_EQ(reference.size(), model.Frames()->size()) << gif;
    PVCompositor compositor;
    for (size_t i = 0; i < std::min(reference.size(), model.Frames()->size()); ++i) {
        EXPECT_TRUE(compositor.ComposeTo(*model.Frames(), int(i))) << gif << " frame " << i;
        EXPECT_EQ(magick::difference(compositor.Pixels(), compositor.Width(), compositor.Height(),
                                     reference[i], allowBackground ? &background : nullptr),
                  "")
            << gif << " frame " << i;
    }
    return true;
}

} // namespace

TEST(PVCompositor, ComposesAsImageMagickCoalesces) {
    const fs::path dir = testsupport::tempDir("compose-im");
    // Frame 0 covers the screen opaquely, so the two starting canvases never show.
    const struct {
        const char* name;
        std::vector<GifFrame> frames;
    } rows[] = {
        {"every disposal over transparency",
         {{0, 0, 16, 12, 0, -1},
          {2, 2, 6, 5, 1, 3},
          {5, 3, 7, 6, 2, 3},
          {1, 4, 8, 6, 3, 3},
          {0, 0, 10, 8, 0, 3},
          {3, 1, 9, 9, 2, -1},
          {4, 2, 6, 6, 0, 5}}},
        {"restore after a clear",
         {{0, 0, 16, 12, 0, -1},
          {3, 3, 6, 6, 2, -1},
          {5, 5, 8, 6, 3, 3},
          {0, 0, 16, 12, 3, 3},
          {2, 1, 5, 5, 0, -1}}},
        {"frames out of bounds",
         {{0, 0, 16, 12, 0, -1},
          {12, 8, 8, 8, 2, 3},
          {20, 20, 4, 4, 3, -1},
          {14, 0, 6, 3, 3, 3},
          {0, 10, 20, 5, 0, 3}}},
    };
    for (const auto& row : rows) {
        const fs::path gif = dir / (std::string(row.name) + ".gif");
        writeGif(gif, 16, 12, row.frames);
        EXPECT_TRUE(sameAsImageMagick(gif, dir / row.name, false)) << row.name;
    }

    // The shared corpus's animations.
    const fs::path corpus = testsupport::corpusDir();
    if (corpus.empty()) return;
    int checked = 0;
    for (const char* folder : {"gif-pygif/test-suite", "gif-giflib/pic"})
        for (const auto& entry : fs::directory_iterator(corpus / folder))
            if (entry.path().extension() == ".gif")
                checked += sameAsImageMagick(entry.path(), dir / entry.path().stem(), true);
    EXPECT_GT(checked, 5);
}

// Jumps, and records changed behind the compositor's back, give what
// playing from frame 0 gives.
TEST(PVCompositor, RandomAccessAndEditsMatchPlayingFromTheStart) {
    auto frame = [](int n, int left, int top, int w, int h, uint8_t disposal, bool transparent) {
        TMyGifAnimation* f = fixtures::frame(
            w, h, 8, [n](int x, int y) { return patternIndex(n, x, y); },
            [](int i) {
                return RGBQUAD{uint8_t(i * 30), uint8_t(255 - i * 20), uint8_t(i * 7), 0};
            });
        f->Left = int16_t(left);
        f->Top = int16_t(top);
        f->Disposal = disposal;
        f->HasTransparency = transparent;
        f->TransparentIndex = 3;
        f->ScreenWidth = 20;
        f->ScreenHeight = 16;
        return f;
    };
    // 2 clears the whole screen and 4 covers it: the places a jump may start.
    PVAnimationModel model;
    TFrameList& frames = *model.Frames();
    frames = {frame(0, 0, 0, 20, 16, 0, false), frame(1, 2, 3, 9, 7, 3, true),
              frame(2, 0, 0, 20, 16, 2, true),  frame(3, 4, 4, 8, 8, 1, true),
              frame(4, 0, 0, 20, 16, 3, false), frame(5, 1, 2, 12, 9, 3, true),
              frame(6, 6, 5, 10, 9, 0, true),   frame(7, 0, 0, 20, 16, 0, false)};
    auto played = [&](int k) {
        PVCompositor fresh;
        for (int i = 0; i <= k; ++i)
            fresh.ComposeTo(frames, i);
        return std::vector<uint32_t>(fresh.Pixels(), fresh.Pixels() + 20 * 16);
    };
    PVCompositor jumping;
    for (int k : {6, 2, 2, 0, 5, 3, 7, 1, 4, 6, 5}) {
        ASSERT_TRUE(jumping.ComposeTo(frames, k));
        EXPECT_EQ(std::vector<uint32_t>(jumping.Pixels(), jumping.Pixels() + 20 * 16), played(k))
            << "jump to " << k;
    }
    // Moved, made opaque, and a new picture block: each is noticed.
    jumping.ComposeTo(frames, 6);
    frames[5]->Left = 7;
    EXPECT_TRUE(jumping.ComposeTo(frames, 6));
    EXPECT_EQ(std::vector<uint32_t>(jumping.Pixels(), jumping.Pixels() + 20 * 16), played(6));
    frames[3]->HasTransparency = 0;
    jumping.ComposeTo(frames, 6);
    EXPECT_EQ(std::vector<uint32_t>(jumping.Pixels(), jumping.Pixels() + 20 * 16), played(6));
    TMyGifAnimation* other = frame(9, 6, 5, 10, 9, 0, true);
    std::swap(frames[6]->DibHandle, other->DibHandle);
    model.Frames()->push_back(other); // freed with the others
    jumping.ComposeTo(frames, 6);
    EXPECT_EQ(std::vector<uint32_t>(jumping.Pixels(), jumping.Pixels() + 20 * 16), played(6));

    // Without a screen size, frame 0's picture sizes it even when a jump
    // started later.
    for (TMyGifAnimation* f : frames)
        f->ScreenWidth = 0;
    jumping.ComposeTo(frames, 5);
    EXPECT_EQ(jumping.Width(), 20);
    std::swap(frames[0]->DibHandle, frames[1]->DibHandle); // frame 0 now 9 wide at 0
    jumping.ComposeTo(frames, 6);
    EXPECT_EQ(jumping.Width(), 9);
}

TEST(PVCompositor, ScreenOfZeroTakesTheFirstFrameAndBadPicturesDrawNothing) {
    TMyGifAnimation* first = fixtures::frame(
        6, 4, 8, [](int, int) { return uint8_t(1); },
        [](int i) {
            return RGBQUAD{0, 0, uint8_t(i * 200), 0};
        });
    first->Left = 2;
    first->Top = 1;
    TMyGifAnimation empty;
    empty.Left = 0;
    TFrameList frames{first, &empty};
    PVCompositor compositor;
    ASSERT_TRUE(compositor.ComposeTo(frames, 0));
    EXPECT_EQ(compositor.Width(), 8);
    EXPECT_EQ(compositor.Height(), 5);
    EXPECT_EQ(compositor.Pixel(0, 0), 0u);
    EXPECT_EQ(compositor.Pixel(2, 1), 0xFFC80000u);
    EXPECT_FALSE(compositor.ComposeTo(frames, 1)); // no picture: reported, nothing drawn
    EXPECT_EQ(compositor.Pixel(7, 4), 0xFFC80000u);
    EXPECT_FALSE(compositor.ComposeTo(frames, 2));

    // A screen whose canvas would pass 1 GiB is refused, not allocated.
    first->ScreenWidth = first->ScreenHeight = 32768;
    EXPECT_FALSE(compositor.ComposeTo(frames, 0));
    EXPECT_EQ(compositor.Width(), 0);
    PVAnimationModel owner; // frees the record and its picture
    owner.Frames()->push_back(first);
}
