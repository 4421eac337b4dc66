#include "capture/TLiveVideoToGif.h"

#include "app/ModalResult.h"
#include "capture/TRegionPicker.h"
#include "imaging/still/TMIMediaPlayer.h"
#include "imaging/still/TPMultiMedia.h"
#include "platform/Message.h"
#include "platform/ScopeGuards.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <filesystem>

namespace {

constexpr int kPreviewMs = 100;

} // namespace

std::string TLiveVideoToGif::CameraDevice() {
    const char* forced = std::getenv("ZENTROPE_CAMERA");
    return forced ? forced : "/dev/video0";
}

TLiveVideoToGif::TLiveVideoToGif(QWidget* parent)
    : TCaptureWindow(parent, "LiveVideoToGif",
                     "Capture Live video and convert them to animated gifs.",
                     "___Make_gif_sequence_from_an_AVI_video_file.") {
    PMultiMedia1 = MakeDisplay();
    PMultiMedia1->SetStretch(true);
    CameraPlayer = new TMIMediaPlayer(this);
    CameraPlayer->setObjectName("CameraPlayer");
    CameraPlayer->hide();
    PMultiMedia1->SetMediaPlayer(CameraPlayer);

    auto speed = [this](QToolButton*& b, const char* name, const QString& text, QRect at) {
        b = Hinted(new QToolButton(Client), name, text);
        b->setText(text);
        b->setGeometry(at);
    };
    speed(SetVideoActive, "SetVideoActive", "Set Video to Acftive", {8, 214, 124, 26});
    speed(PreviewVideo, "PreviewVideo", "Preview Video", {134, 214, 84, 26});
    speed(UseOverlay, "UseOverlay", "Use Overlay", {220, 214, 70, 26});
    // Without the file player's "Open Video" the capture buttons move left.
    StartCaptureOnly->move(8, 246);
    StopCapture->move(96, 246);
    PreviewVideo->setCheckable(true);
    PreviewVideo->setChecked(true);
    UseOverlay->setCheckable(true);
    // Overlay needs a capture board that draws on the screen by itself.
    UseOverlay->setEnabled(false);

    Label3 = Hinted(new QLabel("A video capture board is required to capture live video", Client),
                    "Label3");
    Label3->setGeometry(8, 306, 280, 25);
    Disabled = Hinted(new QFrame(Panel3), "Disabled");
    Disabled->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* column = new QVBoxLayout(Disabled);
    auto* text = new QLabel("This feature is disabled: no video source is available.", Disabled);
    text->setWordWrap(true);
    column->addWidget(text);
    Disabled->setGeometry(Panel3->contentsRect());
    const bool anySource =
        QGuiApplication::primaryScreen() != nullptr || std::filesystem::exists(CameraDevice());
    Label3->setVisible(!anySource);
    Disabled->setVisible(!anySource);
    for (QWidget* w : std::initializer_list<QWidget*>{SetVideoActive, PreviewVideo,
                                                      StartCaptureOnly, SingleFrame})
        w->setEnabled(anySource);

    // Live sources tick at the bar's interval from the start.
    TrackBar1Change(TrackBar1->value());
    FPreviewTimer = new QTimer(this);
    FPreviewTimer->setInterval(kPreviewMs);
    connect(FPreviewTimer, &QTimer::timeout, this, &TLiveVideoToGif::ShowPreview);
    connect(SetVideoActive, &QToolButton::clicked, this, &TLiveVideoToGif::SetVideoActiveClick);
    connect(PreviewVideo, &QToolButton::toggled, this, &TLiveVideoToGif::PreviewVideoClick);
    connect(StartCaptureOnly, &QPushButton::clicked, this, &TLiveVideoToGif::StartCaptureClick);
    connect(StopCapture, &QPushButton::clicked, this, &TLiveVideoToGif::StopCaptureClick);
    connect(SingleFrame, &QPushButton::clicked, this, &TLiveVideoToGif::SingleFrameClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TLiveVideoToGif::BitBtn1Click);
    connect(Timer1, &QTimer::timeout, this, &TLiveVideoToGif::Timer1Timer);
}

TLiveVideoToGif::~TLiveVideoToGif() {
    CameraPlayer->Close();
}

void TLiveVideoToGif::Closing() {
    FPreviewTimer->stop();
    CameraPlayer->Close();
}

void TLiveVideoToGif::SetVideoActiveClick() {
    FPreviewTimer->stop();
    CameraPlayer->Close();
    FSource = Source::None;
    if (std::filesystem::exists(CameraDevice()) && ActivateCamera()) return;
    ActivateScreen();
}

bool TLiveVideoToGif::ActivateCamera() {
    try {
        CameraPlayer->SetDisplay(PMultiMedia1);
        CameraPlayer->OpenCamera("v4l2", CameraDevice());
        CameraPlayer->SetDisplayRect(0, 0, PMultiMedia1->width(), PMultiMedia1->height());
        if (PreviewVideo->isChecked()) CameraPlayer->Play();
    } catch (const EMCIDeviceError&) {
        // No usable camera: the screen stands in.
        CameraPlayer->Close();
        return false;
    }
    FSource = Source::Camera;
    Label1->setText("Video (camera)");
    return true;
}

bool TLiveVideoToGif::ActivateScreen() {
    TRegionPicker picker(this);
    if (picker.exec() != QDialog::Accepted) return false;
    FRegion = picker.Region();
    FSource = Source::Screen;
    Label1->setText(QString("Screen %1 x %2").arg(FRegion.width()).arg(FRegion.height()));
    // The display takes the region's shape within the bars' ranges.
    const QSize fit =
        FRegion.size().scaled(VBar->maximum() - 2, HBar->maximum() - 2, Qt::KeepAspectRatio);
    VBar->setValue(std::max(VBar->minimum(), fit.width() + 2));
    HBar->setValue(std::max(HBar->minimum(), fit.height() + 2));
    VBarChange(VBar->value());
    HBarChange(HBar->value());
    if (PreviewVideo->isChecked()) {
        ShowPreview();
        FPreviewTimer->start();
    }
    return true;
}

void TLiveVideoToGif::PreviewVideoClick(bool down) {
    if (FSource == Source::Screen) {
        if (down) {
            ShowPreview();
            FPreviewTimer->start();
        } else {
            FPreviewTimer->stop();
        }
    } else if (FSource == Source::Camera) {
        try {
            if (down)
                CameraPlayer->Play();
            else
                CameraPlayer->Pause();
        } catch (const EMCIDeviceError& e) {
            ShowMessage(e.what());
        }
    }
}

QImage TLiveVideoToGif::LiveFrame() const {
    const QSize size(std::max(1, PMultiMedia1->width()), std::max(1, PMultiMedia1->height()));
    if (FSource == Source::Camera) return PMultiMedia1->GrabVideoFrame();
    if (FSource != Source::Screen) return {};
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    const QImage shot =
        screen->grabWindow(0, FRegion.x(), FRegion.y(), FRegion.width(), FRegion.height())
            .toImage();
    if (shot.isNull()) return {};
    return shot.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

void TLiveVideoToGif::ShowPreview() {
    const QImage frame = LiveFrame();
    if (frame.isNull()) return;
    PMultiMedia1->Picture().AssignImage(frame);
    PMultiMedia1->update();
}

std::string TLiveVideoToGif::SourceName() const {
    if (FSource == Source::Camera) return std::filesystem::path(CameraDevice()).filename().string();
    return "screen";
}

void TLiveVideoToGif::StartCaptureClick() {
    if (FSource == Source::None) SetVideoActiveClick();
    if (FSource == Source::None) return;
    FBusy = false;
    FFrameNumber = 1;
    FBuffer.StartRun();
    SetIdle(false);
    // The first frame now, the next ones at the interval.
    Timer1Timer();
}

void TLiveVideoToGif::StopCaptureClick() {
    SetIdle(true);
}

void TLiveVideoToGif::Timer1Timer() {
    if (FBusy || !Capturing()) return;
    const zp::ScopedFlag busy(FBusy);
    GrabFrame();
    ++FFrameNumber;
}

void TLiveVideoToGif::SingleFrameClick() {
    FBusy = false;
    GrabFrame();
}

void TLiveVideoToGif::GrabFrame() {
    const QImage frame = LiveFrame();
    if (frame.isNull()) return;
    AddGrab(frame, SourceName());
}

void TLiveVideoToGif::BitBtn1Click() {
    SetIdle(true);
    done(mrOk);
}
