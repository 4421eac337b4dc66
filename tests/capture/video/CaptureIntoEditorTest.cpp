// The captured frames reaching the editor, the live window's screen
// source, the media device under the player, and the open dialog's preview.
#include "VideoFixtures.h"
#include "WidgetSupport.h"
#include "app/ModalResult.h"
#include "capture/TLiveVideoToGif.h"
#include "capture/TRegionPicker.h"
#include "capture/TVideoToGif.h"
#include "editor/EditorTestSupport.h"
#include "imaging/still/TMIMediaPlayer.h"
#include "imaging/still/TMMOpenDialog.h"
#include "imaging/still/TPMultiMedia.h"
#include "platform/GlobalMemory.h"
#include "platform/MediaDevice.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

using namespace videotest;

namespace {

void Mouse(QWidget* target, QEvent::Type type, QPoint global) {
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, target->mapFromGlobal(global), global, Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

} // namespace

TEST(CaptureIntoEditor, OkAppendsTheWindowsRecordsAndCancelAddsNothing) {
    testsupport::widgetApp();
    RegisterVideoTypes();
    editortest::EditorOn e(1);
    for (const int result : {mrOk, mrCancel}) {
        OnModalOf<TVideoToGif>([result](TVideoToGif* window) {
            ChooseFile(Avi());
            window->OpenVidB->click();
            window->SingleFrame->click();
            window->MIMediaPlayer1->Step();
            window->SingleFrame->click();
            (result == mrOk ? window->BitBtn1 : window->BitBtn2)->click();
        });
        e.edit.InsertFramesfromAVI1->trigger();
    }
    ASSERT_EQ(e.frames.size(), 3u);
    EXPECT_EQ(e.edit.GifNameBox->count(), 3);
    EXPECT_EQ(e.edit.GifNameBox->item(2)->text(), "Frame 0 of clip.avi");
    EXPECT_EQ(FrameOf(PictureOf(e.frames[2])), 1);
    EXPECT_TRUE(e.edit.LeftEdit->isEnabled());
    // The insertion is one step of the undo history.
    e.edit.Undo1->trigger();
    EXPECT_EQ(e.frames.size(), 1u);
    e.edit.Redo1->trigger();
    EXPECT_EQ(e.frames.size(), 3u);
}

// The screen path: a region dragged out over a window of one colour is
// recorded at the interval; the window's records keep that colour.
TEST(CaptureIntoEditor, LiveWindowRecordsADraggedScreenRegion) {
    testsupport::widgetApp();
    QWidget target;
    target.setWindowFlags(Qt::FramelessWindowHint);
    target.setGeometry(0, 0, 100, 90);
    target.setStyleSheet("background: rgb(200, 30, 40)");
    target.show();
    TLiveVideoToGif window;
    window.show();
    EXPECT_FALSE(window.Label3->isVisible());
    OnModalOf<TRegionPicker>([](TRegionPicker* picker) {
        Mouse(picker, QEvent::MouseButtonPress, {10, 10});
        Mouse(picker, QEvent::MouseMove, {50, 40});
        Mouse(picker, QEvent::MouseButtonRelease, {80, 70});
    });
    window.SetVideoActive->click();
    ASSERT_EQ(window.ActiveSource(), TLiveVideoToGif::Source::Screen);
    EXPECT_EQ(window.Region(), QRect(10, 10, 71, 61));
    window.StartCaptureOnly->click();
    ASSERT_TRUE(WaitUntil([&] { return window.FFrameList().size() >= 3; }));
    window.StopCapture->click();
    window.BitBtn1->click();
    const TFrameList taken = window.TakeFrames();
    ASSERT_GE(taken.size(), 3u);
    for (size_t i = 0; i < taken.size(); ++i) {
        EXPECT_EQ(taken[i]->Name, "Frame " + std::to_string(i + 1) + " of screen");
        const QImage picture = PictureOf(taken[i]);
        const QRgb middle = picture.pixel(picture.width() / 2, picture.height() / 2);
        EXPECT_NEAR(qRed(middle), 200, 8);
        EXPECT_NEAR(qGreen(middle), 30, 8);
        GlobalFree(taken[i]->DibHandle);
        delete taken[i];
    }
}

TEST(MediaDevice, StepsBackSeeksAndSaysWhenNothingIsOpen) {
    zp::MediaDevice device;
    EXPECT_EQ(device.Mode(), zp::MediaMode::NotReady);
    EXPECT_FALSE(device.Stop());
    EXPECT_EQ(device.Error(), "No MCI device open");
    ASSERT_TRUE(device.Open(Avi().string())) << device.Error();
    EXPECT_EQ(device.Mode(), zp::MediaMode::Stopped);
    EXPECT_EQ(device.Length(), 1200);
    EXPECT_EQ(device.Current().index, 0);
    EXPECT_EQ(FrameOf(QImage(reinterpret_cast<const uchar*>(device.Current().pixels.data()), kWidth,
                             kHeight, QImage::Format_RGB32)),
              0);
    device.Step(3);
    EXPECT_EQ(device.Current().index, 3);
    EXPECT_EQ(device.Position(), 120);
    device.Back();
    EXPECT_EQ(device.Current().index, 2);
    device.Seek(1000);
    EXPECT_EQ(device.Current().index, 25);
    device.Step(10); // past the end: stays on the last frame
    EXPECT_EQ(device.Current().index, 29);
    EXPECT_EQ(device.Position(), device.Length());
}

// The open dialog's preview: a video opens in the small player without
// playing; a picture after it hides the player and closes the video.
TEST(MediaPreview, VideoOpensInThePlayerAndAPictureHidesIt) {
    testsupport::widgetApp();
    RegisterVideoTypes();
    TMMOpenDialog dialog;
    dialog.PreviewBtn->setChecked(true);
    dialog.DoSelectionChange(QString::fromStdString(Avi().string()));
    EXPECT_TRUE(dialog.MediaPlayer->DeviceOpen());
    EXPECT_EQ(dialog.MediaPlayer->Mode(), zp::MediaMode::Stopped);
    EXPECT_FALSE(dialog.MediaPlayer->isHidden());
    EXPECT_TRUE(dialog.TMultiMedia->ShowingVideo());

    const fs::path picture = testsupport::tempDir("video") / "still.png";
    QImage still(20, 10, QImage::Format_RGB32);
    still.fill(Qt::blue);
    ASSERT_TRUE(still.save(QString::fromStdString(picture.string())));
    dialog.DoSelectionChange(QString::fromStdString(picture.string()));
    EXPECT_FALSE(dialog.MediaPlayer->DeviceOpen());
    EXPECT_TRUE(dialog.MediaPlayer->isHidden());
    EXPECT_TRUE(dialog.TMultiMedia->Picture().HasBitmapHandle());
}
