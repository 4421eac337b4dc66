// The video capture window driven as a user drives it, on videos made by
// ffmpeg whose frames say their own numbers.
#include "VideoFixtures.h"
#include "WidgetSupport.h"
#include "app/ModalResult.h"
#include "capture/TVideoToGif.h"
#include "imaging/still/TMIMediaPlayer.h"
#include "imaging/still/TMMOpenDialog.h"
#include "imaging/still/TPMultiMedia.h"
#include "platform/GlobalMemory.h"
#include "platform/Message.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>
#include <set>

using namespace videotest;

namespace {

void OpenVideo(TVideoToGif& window, const fs::path& file) {
    ChooseFile(file);
    window.OpenVidB->click();
}

void FreeRecords(const TFrameList& records) {
    for (TMyGifAnimation* r : records) {
        if (r->DibHandle) GlobalFree(r->DibHandle);
        delete r;
    }
}

std::vector<int> FramesOf(const TFrameList& records) {
    std::vector<int> out;
    for (const TMyGifAnimation* r : records)
        out.push_back(FrameOf(PictureOf(r)));
    return out;
}

struct Messages {
    std::vector<std::string> texts;
    Messages() {
        SetMessageHandler(
            [](const char* text, void* to) { static_cast<Messages*>(to)->texts.push_back(text); },
            this);
    }
    ~Messages() { SetMessageHandler(nullptr, nullptr); }
};

} // namespace

// At 500 ms over 25 fps the grabs fall on frames 0, 13 and 25 of a
// 30-frame video, in every container, however slowly the machine decodes.
TEST(VideoCapture, IntervalGrabsRunOnTheVideoClockAndOkHandsTheRecordsOver) {
    testsupport::widgetApp();
    RegisterVideoTypes();
    struct Row {
        const char* name;
        const char* codec;
    };
    for (const Row& row : {Row{"clip.avi", "-c:v mpeg4 -q:v 2"},
                           Row{"clip.mp4", "-c:v libx264 -pix_fmt yuv420p -crf 12"},
                           Row{"clip.webm", "-c:v libvpx -b:v 4M -crf 4"}}) {
        SCOPED_TRACE(row.name);
        const fs::path video = MakeVideo(row.name, 30, row.codec);
        ASSERT_FALSE(video.empty());
        TVideoToGif window;
        window.show();
        window.TrackBar1->setValue(5);
        EXPECT_EQ(window.Timer1->interval(), 500);
        EXPECT_EQ(window.Edit3->text(), "Capture every 5  1/10 seconds.");
        OpenVideo(window, video);
        ASSERT_TRUE(window.MIMediaPlayer1->DeviceOpen());
        window.StartCaptureAndPlay->click();
        EXPECT_FALSE(window.OpenVidB->isEnabled());
        ASSERT_TRUE(WaitUntil([&] { return !window.Capturing(); }));
        EXPECT_TRUE(window.OpenVidB->isEnabled());

        const TFrameList& buffered = window.FFrameList();
        ASSERT_EQ(buffered.size(), 3u);
        EXPECT_EQ(FramesOf(buffered), (std::vector<int>{0, 13, 25}));
        std::set<HGLOBAL> blocks;
        for (size_t i = 0; i < buffered.size(); ++i) {
            EXPECT_EQ(buffered[i]->Name,
                      "Frame " + std::to_string(i + 1) + " of " + std::string(row.name));
            EXPECT_EQ(buffered[i]->Delay, 10);
            blocks.insert(buffered[i]->DibHandle);
        }
        EXPECT_EQ(blocks.size(), 3u);
        EXPECT_EQ(window.BufText->text(), "There are 3 frames in the buffer");
        window.BitBtn1->click();
        EXPECT_EQ(window.result(), mrOk);
        const TFrameList taken = window.TakeFrames();
        EXPECT_EQ(taken.size(), 3u);
        EXPECT_TRUE(window.FFrameList().empty());
        FreeRecords(taken);
    }
}

TEST(VideoCapture, StoppedVideoGivesOneGrabPerRunAndCancelFreesTheBuffer) {
    testsupport::widgetApp();
    RegisterVideoTypes();
    TVideoToGif window;
    window.show();
    OpenVideo(window, Avi());
    // Before any capture a single frame carries the number 0.
    window.SingleFrame->click();
    window.StartCaptureOnly->click();
    ASSERT_TRUE(WaitUntil([&] { return !window.Capturing(); }));
    window.MIMediaPlayer1->Step();
    window.MIMediaPlayer1->Step();
    window.StartCaptureOnly->click();
    ASSERT_TRUE(WaitUntil([&] { return !window.Capturing(); }));
    window.SingleFrame->click();

    std::vector<std::string> names;
    for (const TMyGifAnimation* r : window.FFrameList())
        names.push_back(r->Name);
    EXPECT_EQ(names, (std::vector<std::string>{"Frame 0 of clip.avi", "Frame 1 of clip.avi",
                                               "Frame 1 of clip.avi", "Frame 2 of clip.avi"}));
    EXPECT_EQ(FramesOf(window.FFrameList()), (std::vector<int>{0, 0, 2, 2}));
    window.BitBtn2->click();
    EXPECT_EQ(window.result(), mrCancel);
    EXPECT_TRUE(window.FFrameList().empty());
    EXPECT_EQ(window.BufText->text(), "There are 0 frames in the buffer");
}

// Less quality: one palette over the run, so a video that starts black
// keeps the white that comes later.
TEST(VideoCapture, RecordFieldsFollowTheColourAndQualityChoices) {
    testsupport::widgetApp();
    RegisterVideoTypes();
    struct Row {
        bool high, colours256;
        uint8_t screenColors, useLocal, localColors;
        int bits;
    };
    for (const Row& row : {Row{false, false, 16, 0, 0, 4}, Row{true, true, 255, 1, 255, 8}}) {
        SCOPED_TRACE(row.high);
        TVideoToGif window;
        window.show();
        (row.high ? window.HighQuality : window.LowQuality)->setChecked(true);
        (row.colours256 ? window.Cls256 : window.RadioButton6)->setChecked(true);
        window.VBar->setValue(100);
        EXPECT_EQ(window.Edit2->text(), "Width = 98");
        OpenVideo(window, Avi());
        window.SingleFrame->click();
        for (int i = 0; i < 3; ++i)
            window.MIMediaPlayer1->Step();
        window.SingleFrame->click();
        ASSERT_EQ(window.FFrameList().size(), 2u);
        EXPECT_EQ(FramesOf(window.FFrameList()), (std::vector<int>{0, 3}));
        for (const TMyGifAnimation* r : window.FFrameList()) {
            EXPECT_EQ(r->ScreenColors, row.screenColors);
            EXPECT_EQ(r->UseLocalPalette, row.useLocal);
            EXPECT_EQ(r->LocalColors, row.localColors);
            EXPECT_EQ(r->Width, 98);
            EXPECT_EQ(r->ScreenWidth, 98);
            zp::GlobalLockGuard lock(r->DibHandle);
            EXPECT_EQ(lock.as<BITMAPINFOHEADER>()->biBitCount, row.bits);
        }
        if (!row.high) {
            zp::GlobalLockGuard a(window.FFrameList()[0]->DibHandle);
            zp::GlobalLockGuard b(window.FFrameList()[1]->DibHandle);
            const size_t table = 40 + 16 * 4;
            EXPECT_EQ(std::memcmp(a.data(), b.data(), table), 0) << "the palettes differ";
        }
        window.BitBtn2->click();
    }
}

TEST(VideoCapture, UnlistedTypesAreNotOpenedAndBrokenVideosSayWhy) {
    testsupport::widgetApp();
    UsePrivateProfile();
    WriteProfileString("mci extensions", "avi", "AVIVideo");
    const fs::path mp4 = MakeVideo("clip.mp4", 5, "-c:v libx264 -pix_fmt yuv420p");
    TVideoToGif window;
    window.show();
    window.PMultiMedia1->SetMediaName(mp4.string());
    EXPECT_FALSE(window.MIMediaPlayer1->DeviceOpen());

    const fs::path broken = testsupport::tempDir("video") / "broken.avi";
    testsupport::writeFile(broken, std::vector<unsigned char>(4096, 0x5A));
    Messages messages;
    OpenVideo(window, broken);
    EXPECT_FALSE(window.MIMediaPlayer1->DeviceOpen());
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_NE(messages.texts[0].find("broken.avi cannot be played: Invalid data"),
              std::string::npos)
        << messages.texts[0];
    // Stop with no device open says so and leaves the window usable.
    window.StopCapture->click();
    ASSERT_EQ(messages.texts.size(), 2u);
    EXPECT_EQ(messages.texts[1], "No MCI device open");
    EXPECT_TRUE(window.OpenVidB->isEnabled());
}
