#include "imaging/still/TMIMediaPlayer.h"

#include "platform/Message.h"

#include <QHBoxLayout>
#include <QMetaObject>
#include <QStyle>
#include <QToolButton>

namespace {

struct ButtonLook {
    const char* name;
    QStyle::StandardPixmap glyph;
    const char* hint;
};
const ButtonLook kLooks[] = {
    {"Play", QStyle::SP_MediaPlay, "Play"},
    {"Pause", QStyle::SP_MediaPause, "Pause"},
    {"Stop", QStyle::SP_MediaStop, "Stop"},
    {"Next", QStyle::SP_MediaSkipForward, "Next"},
    {"Prev", QStyle::SP_MediaSkipBackward, "Previous"},
    {"Step", QStyle::SP_MediaSeekForward, "Step"},
    {"Back", QStyle::SP_MediaSeekBackward, "Back"},
    {"Record", QStyle::SP_DialogYesButton, "Record"},
    {"Eject", QStyle::SP_DialogCloseButton, "Eject"},
};

} // namespace

TMIMediaPlayer::TMIMediaPlayer(QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int i = btPlay; i <= btEject; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString("Button") + kLooks[i].name);
        button->setIcon(style()->standardIcon(kLooks[i].glyph));
        button->setToolTip(kLooks[i].hint);
        button->setFixedSize(28, 24);
        row->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, i] { Click(TMPBtnType(i)); });
        FButtons[i] = button;
    }
    row->addStretch(1);
    // Frames are collected on this thread; the worker only posts.
    FDevice.Wake = [this] {
        QMetaObject::invokeMethod(
            this, [this] { FDevice.Deliver(); }, Qt::QueuedConnection);
    };
    FDevice.OnModeChange = [this] {
        UpdateButtons();
        if (OnNotify) OnNotify();
    };
    UpdateButtons();
}

TMIMediaPlayer::~TMIMediaPlayer() {
    // The worker must be gone before this object is.
    FDevice.Close();
}

void TMIMediaPlayer::SetVisibleButtons(TButtonSet buttons) {
    FVisible = buttons;
    UpdateButtons();
}

void TMIMediaPlayer::SetEnabledButtons(TButtonSet buttons) {
    FEnabled = buttons;
    UpdateButtons();
}

void TMIMediaPlayer::UpdateButtons() {
    const bool open = FDevice.IsOpen();
    for (int i = btPlay; i <= btEject; ++i) {
        FButtons[i]->setVisible(FVisible & (1u << i));
        // Recording needs a device that records; none of ours does.
        FButtons[i]->setEnabled(open && (FEnabled & (1u << i)) && i != btRecord);
    }
}

void TMIMediaPlayer::Check(bool ok) {
    if (!ok) throw EMCIDeviceError(FDevice.Error());
}

void TMIMediaPlayer::Open() {
    const bool ok = FDevice.Open(FileName);
    UpdateButtons();
    Check(ok);
}

void TMIMediaPlayer::OpenCamera(const std::string& format, const std::string& device) {
    const bool ok = FDevice.OpenCamera(format, device);
    UpdateButtons();
    Check(ok);
}

void TMIMediaPlayer::Close() {
    FDevice.Close();
    UpdateButtons();
}

void TMIMediaPlayer::Play() {
    Check(FDevice.Play());
}
void TMIMediaPlayer::Pause() {
    Check(FDevice.Pause());
}
void TMIMediaPlayer::Stop() {
    Check(FDevice.Stop());
}
void TMIMediaPlayer::Next() {
    Check(FDevice.Seek(FDevice.Length()));
}
void TMIMediaPlayer::Previous() {
    Check(FDevice.Seek(0));
}
void TMIMediaPlayer::Step() {
    Check(FDevice.Step());
}
void TMIMediaPlayer::Back() {
    Check(FDevice.Back());
}
void TMIMediaPlayer::StartRecording() {
    if (!FDevice.IsOpen()) Check(false);
    throw EMCIDeviceError("The MCI device does not support recording");
}

void TMIMediaPlayer::SetDisplayRect(int x, int y, int width, int height) {
    FDevice.SetDisplayRect(x, y, width, height);
}

void TMIMediaPlayer::Click(TMPBtnType type) {
    bool doDefault = true;
    if (OnClick) OnClick(type, doDefault);
    if (!doDefault) return;
    try {
        switch (type) {
        case btPlay:
            Play();
            break;
        case btPause:
            // Pause toggles, as the bar's own button does.
            if (Mode() == TMPModes::Paused)
                Play();
            else
                Pause();
            break;
        case btStop:
            Stop();
            break;
        case btNext:
            Next();
            break;
        case btPrev:
            Previous();
            break;
        case btStep:
            Step();
            break;
        case btBack:
            Back();
            break;
        case btRecord:
            StartRecording();
            break;
        case btEject:
            Close();
            break;
        }
    } catch (const EMCIDeviceError& e) {
        ShowMessage(e.what());
    }
}
