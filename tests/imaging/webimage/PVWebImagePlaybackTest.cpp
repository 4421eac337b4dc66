#include "WebImageSupport.h"

#include <QScrollBar>
#include <QTimer>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

using webimage::Host;
using webimage::shown;
using webimage::solidFrame;

namespace {

const QRgb kColours[] = {qRgb(200, 0, 0), qRgb(0, 200, 0), qRgb(0, 0, 200)};

// Three frames on the same spot, one colour each, with the given delays.
void addThreeFrames(PVWebImage& image, const uint16_t (&delays)[3]) {
    for (int i = 0; i < 3; ++i)
        image.Frames()->push_back(solidFrame(2, 2, 8, 8, kColours[i], 0, 0, delays[i]));
    image.GifMode = true;
}

// One host tick after the frame's delay has run out.
void tick(PVWebImage& image) {
    image.DelayTimerTimer();
    image.StepFrame();
}

} // namespace

TEST(PVWebImage, CreationDefaultsAndStoredPropertyRules) {
    testsupport::widgetApp();
    PVWebImage fresh;
    EXPECT_EQ(fresh.size(), QSize(105, 105));
    EXPECT_EQ(fresh.Color(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(fresh.MapTransparentColor, GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(fresh.PngJpgBackGroundColor(), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(fresh.PngDisplay(), PVWebImage::png_blocks);
    EXPECT_EQ(fresh.PngJpgResolution(), PVWebImage::Bit8);
    EXPECT_EQ(fresh.JPegSaveQuality(), 25);
    EXPECT_EQ(fresh.JPegSaveSmooth(), 0);
    EXPECT_FALSE(fresh.Playing());
    EXPECT_TRUE(fresh.DelayTimer().isActive());
    EXPECT_EQ(fresh.DelayTimer().interval(), 1000);
    EXPECT_EQ(fresh.VertScrollBar().size(), QSize(0, 0));
    EXPECT_EQ(fresh.HorzScrollBar().size(), QSize(0, 0));
    EXPECT_EQ(fresh.CornerPanel().size(), QSize(0, 0));
    EXPECT_TRUE(PaintingEnabled);

    struct Row {
        int set, quality, smooth;
    } rows[] = {{0, 25, 5}, {1, 1, 1}, {100, 100, 100}, {101, 25, 5}, {-3, 25, 5}, {256, 25, 5}};
    for (const Row& r : rows) {
        fresh.SetJPegSaveQuality(r.set);
        fresh.SetJPegSaveSmooth(r.set);
        EXPECT_EQ(fresh.JPegSaveQuality(), r.quality) << r.set;
        EXPECT_EQ(fresh.JPegSaveSmooth(), r.smooth) << r.set;
    }
}

TEST(PVWebImage, PlaybackWrapsAfterOneEmptyStep) {
    Host host(20, 20);
    PVWebImage& image = *host.image;
    addThreeFrames(image, {0, 0, 0});
    image.Play();
    ASSERT_TRUE(image.Playing());
    image.CurrentFrame = 7; // set past the end: the next step starts again at 0

    struct Step {
        int current, displayed;
        bool delayStarted;
    } steps[] = {{0, 0, true}, {1, 1, true}, {2, 2, true}, {3, 2, false},
                 {0, 0, true}, {1, 1, true}, {2, 2, true}, {3, 2, false}};
    int n = 0;
    for (const Step& s : steps) {
        tick(image);
        EXPECT_EQ(image.CurrentFrame, s.current) << "step " << n;
        EXPECT_EQ(image.FramesLoaded, s.current) << "step " << n;
        EXPECT_EQ(image.DisplayedFrame, s.displayed) << "step " << n;
        // The empty step starts no delay: the flag stays set for the next tick.
        EXPECT_EQ(image.DelayElapsed(), !s.delayStarted) << "step " << n;
        EXPECT_EQ(shown(image, 5, 5), kColours[s.displayed]) << "step " << n;
        ++n;
    }
}

TEST(PVWebImage, FrameDelayBecomesTheTimerInterval) {
    Host host(20, 20);
    PVWebImage& image = *host.image;
    addThreeFrames(image, {0, 50, 7});
    const int expected[] = {100, 500, 70}; // delay 0 counts as 10 hundredths
    for (int i = 0; i < 3; ++i) {
        image.ShowFrame(i);
        EXPECT_TRUE(image.DelayTimer().isActive()) << i;
        EXPECT_EQ(image.DelayTimer().interval(), expected[i]) << i;
        EXPECT_FALSE(image.DelayElapsed()) << i;
    }
    image.DelayTimerTimer();
    EXPECT_TRUE(image.DelayElapsed());
    EXPECT_FALSE(image.DelayTimer().isActive());

    // Outside the list nothing changes.
    image.ShowFrame(3);
    image.ShowFrame(-1);
    EXPECT_TRUE(image.DelayElapsed());
    EXPECT_EQ(image.DisplayedFrame, 2);

    image.Play();
    image.Stop();
    EXPECT_FALSE(image.Playing());
    EXPECT_EQ(image.DelayTimer().interval(), 1);
}

TEST(PVWebImage, StepFrameWaitsForDelayPaintingAndPlay) {
    struct Row {
        const char* what;
        bool play, elapsed, painting, frames;
    } rows[] = {
        {"delay still running", true, false, true, true},
        {"painting disabled", true, true, false, true},
        {"stopped", false, true, true, true},
        {"no frames", true, true, true, false},
    };
    for (const Row& r : rows) {
        Host host(20, 20);
        PVWebImage& image = *host.image;
        if (r.frames) addThreeFrames(image, {0, 0, 0});
        image.ShowFrame(0);
        const QRgb before = shown(image, 5, 5);
        image.Play();
        if (!r.play) image.Stop();
        EXPECT_EQ(image.Playing(), r.play && r.frames) << r.what;
        if (r.elapsed) image.DelayTimerTimer();
        PaintingEnabled = r.painting;
        image.StepFrame();
        PaintingEnabled = true;
        EXPECT_EQ(image.CurrentFrame, 0) << r.what;
        EXPECT_EQ(image.FramesLoaded, 0) << r.what;
        EXPECT_EQ(shown(image, 5, 5), before) << r.what;
    }
}

TEST(PVWebImage, StepFrameTakesOverANewScreenSizeAndAutoSizes) {
    Host host(30, 30);
    PVWebImage& image = *host.image;
    addThreeFrames(image, {0, 0, 0});
    (*image.Frames())[0]->ScreenWidth = 64;
    (*image.Frames())[0]->ScreenHeight = 48;
    image.move(3, 4);
    image.SetAutoSize(true); // the component's screen is still 40 x 40
    EXPECT_EQ(image.geometry(), QRect(3, 4, 40, 40));
    image.Play();
    tick(image);
    EXPECT_EQ(image.ScreenWidth, 64);
    EXPECT_EQ(image.ScreenHeight, 48);
    EXPECT_EQ(image.geometry(), QRect(3, 4, 64, 48));

    // Without AutoSize the size stays; a zero screen never sizes.
    image.SetAutoSize(false);
    (*image.Frames())[0]->ScreenWidth = 20;
    tick(image);
    EXPECT_EQ(image.ScreenWidth, 20);
    EXPECT_EQ(image.size(), QSize(64, 48));
    image.ScreenWidth = 0;
    image.SetAutoSize(true);
    EXPECT_EQ(image.size(), QSize(64, 48));
}

// Play works out the largest loop count, where 0 (unlimited) outranks any number.
TEST(PVWebImage, LoopLimitTakesUnlimitedAsTheLargest) {
    const struct {
        std::vector<int> loops;
        int limit;
    } rows[] = {{{3, 5, 1}, 5}, {{3, 0, 7}, 0}, {{0}, 0}, {{2}, 2}};
    for (const auto& row : rows) {
        Host host(20, 20);
        for (int loops : row.loops) {
            TMyGifAnimation* f = solidFrame(0, 0, 4, 4, kColours[0]);
            f->Loops = loops;
            host.image->Frames()->push_back(f);
        }
        host.image->Play();
        EXPECT_EQ(host.image->LoopLimit(), row.limit) << row.loops.size();
    }
}

// Host ticks every 10 ms on a controlled clock: each frame lasts its own
// delay, ticks do not add up over a run, and a stall restarts the count.
TEST(PVWebImage, PlaybackKeepsTrueTimeOnTenMillisecondTicks) {
    Host host(20, 20);
    PVWebImage& image = *host.image;
    int64_t now = 0;
    image.SetClock([&now] { return now; });
    const uint16_t delays[] = {4, 0, 1, 7};
    for (int i = 0; i < 100; ++i)
        image.Frames()->push_back(solidFrame(0, 0, 4, 4, kColours[i % 3], 0, 0, delays[i % 4]));
    image.GifMode = true;
    image.Play();
    image.CurrentFrame = 1000; // the next step starts at frame 0
    image.DelayTimerTimer();

    // When each frame first showed, over two runs of the animation.
    std::vector<int64_t> shownAt;
    for (int previous = -1; shownAt.size() < 201; now += PVWebImage::HostStepInterval) {
        image.StepFrame();
        if (image.CurrentFrame != previous && image.CurrentFrame < 100) shownAt.push_back(now);
        previous = image.CurrentFrame;
    }
    int64_t expected = 0; // delays 0 and 1 show for 10 hundredths
    for (int i = 0; i < 100; ++i)
        expected += 10 * PVWebImage::ShownDelay(delays[i % 4]);
    EXPECT_EQ(expected, 25 * (40 + 100 + 100 + 70));
    const int64_t run = shownAt[100] - shownAt[0];
    EXPECT_LE(std::abs(run - expected), expected / 50) << run;
    EXPECT_LE(std::abs(shownAt[200] - shownAt[0] - 2 * expected), expected / 50);
    const int64_t shownFor[] = {40, 100, 100, 70};
    for (int i = 1; i < 200; ++i) {
        if (i == 100) continue; // the last frame also holds through the empty step
        EXPECT_NEAR(double(shownAt[size_t(i)] - shownAt[size_t(i - 1)]),
                    double(shownFor[(i - 1) % 4]), PVWebImage::HostStepInterval)
            << "frame " << i - 1;
    }
    // Frame 0 after the wrap keeps its whole delay.
    EXPECT_GE(shownAt[101] - shownAt[100], 40);

    // A host that stalls for a second shows the next frame then, and the one
    // after it a full delay later rather than at once.
    now += 1000;
    image.StepFrame();
    const int after = image.CurrentFrame;
    const int64_t stalledAt = now;
    while (image.CurrentFrame == after)
        image.StepFrame(), now += PVWebImage::HostStepInterval;
    EXPECT_GE(now - stalledAt, 10 * PVWebImage::ShownDelay(delays[after % 4]));
}
