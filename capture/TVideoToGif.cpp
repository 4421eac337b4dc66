#include "capture/TVideoToGif.h"

#include "app/ModalResult.h"
#include "imaging/still/TMIMediaPlayer.h"
#include "imaging/still/TMMOpenDialog.h"
#include "imaging/still/TPMultiMedia.h"
#include "platform/MediaExtensions.h"
#include "platform/Message.h"

#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <cctype>

namespace {

// "AVI|*.AVI" names the types the capture opens; every video type the
// profile lists is offered under it, so an MP4 or WebM shows too.
std::string VideoFilter() {
    std::string patterns = "*.AVI";
    for (const std::string& ext : zp::PlayableVideoExtensions())
        if (ext != "AVI" && zp::IsMciExtension(ext)) patterns += ";*." + ext;
    return "AVI|" + patterns;
}

} // namespace

TVideoToGif::TVideoToGif(QWidget* parent)
    : TCaptureWindow(parent, "VideoToGif",
                     "Capture video frames and convert them to animated gifs.",
                     "___Make_gif_sequence_from_an_AVI_video_file.") {
    PMultiMedia1 = MakeDisplay();
    MIMediaPlayer1 = Hinted(new TMIMediaPlayer(Client), "MIMediaPlayer1", "Video control buttons");
    MIMediaPlayer1->SetVisibleButtons(MPButton(btPlay) | MPButton(btPause) | MPButton(btStop) |
                                      MPButton(btNext) | MPButton(btPrev) | MPButton(btStep) |
                                      MPButton(btBack) | MPButton(btRecord));
    MIMediaPlayer1->setGeometry(8, 214, 250, 26);
    PMultiMedia1->SetMediaPlayer(MIMediaPlayer1);
    PMultiMedia1->SetMediaName("file not found");
    PMultiMedia1->OnFrameShown = [this](TPMultiMedia*) { FrameShown(); };

    OpenVidB = Hinted(new QPushButton("Open Video", Client), "OpenVidB", "Open a Video");
    OpenVidB->setGeometry(8, 246, 84, 25);
    StartCaptureAndPlay =
        Hinted(new QPushButton("Start Video and Capture at the same time", Client),
               "StartCaptureAndPlay", "Start Video and Capture at the same time");
    StartCaptureAndPlay->setGeometry(8, 306, 260, 25);
    StartCaptureAndPlay->setEnabled(false);
    for (QPushButton* b : {OpenVidB, StartCaptureAndPlay})
        b->setAutoDefault(false);

    MMOpenDialog1 = new TMMOpenDialog(this);
    MMOpenDialog1->setWindowTitle("Open File");

    connect(OpenVidB, &QPushButton::clicked, this, &TVideoToGif::OpenVideoClick);
    connect(StartCaptureOnly, &QPushButton::clicked, this, &TVideoToGif::StartCaptureClick);
    connect(StartCaptureAndPlay, &QPushButton::clicked, this,
            &TVideoToGif::StartCaptureAndPlayClick);
    connect(StopCapture, &QPushButton::clicked, this, &TVideoToGif::StopCaptureClick);
    connect(SingleFrame, &QPushButton::clicked, this, &TVideoToGif::SingleFrameClick);
    connect(BitBtn1, &QPushButton::clicked, this, &TVideoToGif::BitBtn1Click);
    connect(Timer1, &QTimer::timeout, this, &TVideoToGif::Timer1Timer);
    MIMediaPlayer1->OnClick = [this](TMPBtnType, bool&) { ProgressBar1->setValue(0); };
    PMultiMedia1->OnProgress = [this](TPMultiImage*, int16_t percent, const std::string&,
                                      bool& cancel) {
        cancel = QCoreApplication::closingDown();
        if (cancel) return;
        ProgressBar1->setValue(percent);
        QCoreApplication::processEvents();
    };
}

TVideoToGif::~TVideoToGif() {
    MIMediaPlayer1->Close();
}

void TVideoToGif::Closing() {
    // The worker thread stops before the window goes.
    MIMediaPlayer1->Close();
}

void TVideoToGif::OpenVideoClick() {
    ProgressBar1->setValue(0);
    MMOpenDialog1->SetFilter(VideoFilter());
    if (!MMOpenDialog1->Execute()) return;
    const std::string path = MMOpenDialog1->FileName();
    FVideoFileName = path;
    for (char& c : FVideoFileName)
        c = char(std::tolower((unsigned char)c));
    try {
        PMultiMedia1->SetMediaName(path);
    } catch (const EMCIDeviceError& e) {
        ShowMessage(e.what());
    }
    StartCaptureAndPlay->setEnabled(true);
}
