#include "TestSupport.h"
#include "WebImageSupport.h"
#include "imaging/common/DibImage.h"

#include "platform/GlobalMemory.h"

#include <QEvent>
#include <gtest/gtest.h>
#include <vector>

using webimage::colorRef;
using webimage::Host;
using webimage::solidFrame;

namespace {

const QRgb kYellow = qRgb(220, 220, 0);
const QRgb kRed = qRgb(210, 10, 10);
const QRgb kGreen = qRgb(10, 190, 10);

// Notes how many frames had been taken whenever the component paints.
class PaintRecorder : public QObject {
  public:
    explicit PaintRecorder(PVWebImage& image) : image_(image) { image.installEventFilter(this); }
    std::vector<int> framesAtPaint;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) framesAtPaint.push_back(image_.FramesLoaded);
        return false;
    }

  private:
    PVWebImage& image_;
};

// A 64 x 48 animation written by our own encoder: a full yellow frame, then
// a red square at (5, 5) and a green one at (30, 30), both left in place.
std::string writeAnimation(const std::filesystem::path& dir) {
    PVAnimationModel source;
    auto* first = solidFrame(0, 0, 64, 48, kYellow);
    first->ScreenWidth = 64;
    first->ScreenHeight = 48;
    first->ScreenColors = 255;
    first->BackgroundColor = colorRef(kYellow);
    first->Loops = 0;
    source.Frames()->push_back(first);
    source.Frames()->push_back(solidFrame(5, 5, 10, 10, kRed, 1));
    source.Frames()->push_back(solidFrame(30, 30, 4, 4, kGreen, 1));
    const std::string file = (dir / "Squares.GIF").string();
    source.SaveToFile(file);
    return file;
}

} // namespace

TEST(PVWebImage, LoadPaintsEveryFrameAsItArrivesAndSizesItself) {
    const std::string file = writeAnimation(testsupport::tempDir("webimage-load"));
    const uint64_t blocksBefore = GlobalBlockCount();
    {
        Host host(30, 30);
        PVWebImage& image = *host.image;
        image.AutoSize = true;
        image.Frames()->push_back(solidFrame(0, 0, 8, 8, kRed)); // replaced by the load
        image.Play();
        PaintRecorder recorder(image);
        bool finished = false;
        image.OnFinishedLoadSave = [&](PVAnimationModel*) { finished = true; };

        image.LoadFromFile(file);

        EXPECT_TRUE(finished);
        EXPECT_FALSE(image.Playing());
        ASSERT_EQ(image.Frames()->size(), 3u);
        EXPECT_EQ(image.FramesLoaded, 3);
        EXPECT_EQ(image.size(), QSize(64, 48));
        // One paint per image while loading, before each is counted.
        for (int n : {0, 1, 2})
            EXPECT_NE(std::find(recorder.framesAtPaint.begin(), recorder.framesAtPaint.end(), n),
                      recorder.framesAtPaint.end())
                << "no paint while frame " << n << " was taken";

        // The screen is built up: earlier frames stay where later ones do not draw.
        const QImage screen = image.grab().toImage();
        auto at = [&](int x, int y) { return screen.pixel(x, y) | 0xFF000000u; };
        EXPECT_EQ(at(0, 0), kYellow);
        EXPECT_EQ(at(63, 47), kYellow);
        EXPECT_EQ(at(5, 5), kRed);
        EXPECT_EQ(at(14, 14), kRed);
        EXPECT_EQ(at(15, 15), kYellow);
        EXPECT_EQ(at(30, 30), kGreen);

        // Playing the loaded frames steps through them with their delays.
        image.Play();
        image.DelayTimerTimer();
        image.StepFrame();
        EXPECT_EQ(image.DisplayedFrame, 1);
        EXPECT_EQ(image.DelayTimer().interval(), 100);

        // A second load frees the first one's frames.
        image.LoadFromFile(file);
        EXPECT_EQ(image.Frames()->size(), 3u);
        EXPECT_EQ((*image.Frames())[2]->Name, "Frame 3 of squares.gif");

        // A smaller animation builds up on an empty control, not over the
        // last one's pixels.
        PVAnimationModel small;
        small.Frames()->push_back(solidFrame(0, 0, 10, 10, kGreen));
        small.Frames()->front()->ScreenWidth = 10;
        small.Frames()->front()->ScreenHeight = 10;
        const std::string smallFile =
            (std::filesystem::path(file).parent_path() / "small.gif").string();
        small.SaveToFile(smallFile);
        image.AutoSize = false;
        image.LoadFromFile(smallFile);
        const QImage after = image.grab().toImage();
        EXPECT_EQ(after.pixel(5, 5) | 0xFF000000u, kGreen);
        EXPECT_EQ(after.pixel(40, 40) | 0xFF000000u, dibimage::ToQRgb(image.Color()) | 0xFF000000u);
    }
    EXPECT_EQ(GlobalBlockCount(), blocksBefore);
}

TEST(PVWebImage, FailedLoadIsReportedAndLeavesTheControlUsable) {
    const auto dir = testsupport::tempDir("webimage-bad");
    testsupport::writeFile(dir / "bad.gif", std::vector<unsigned char>(200, 'x'));
    Host host(30, 30);
    PVWebImage& image = *host.image;
    int16_t code = 0;
    image.OnPvlibError = [&](PVAnimationModel*, int16_t c, const std::string&, const char*) {
        code = c;
    };
    image.LoadFromFile((dir / "bad.gif").string());
    EXPECT_NE(code, 0);
    EXPECT_TRUE(image.Frames()->empty());
    image.Play();
    image.DelayTimerTimer();
    image.StepFrame(); // nothing to show, nothing breaks
    EXPECT_FALSE(image.grab().isNull());
}
