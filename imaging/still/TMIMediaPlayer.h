#pragma once
// The media player bar: a row of buttons (Play, Pause, Stop, Next, Prev,
// Step, Back, Record, Eject) that send their commands to one media device,
// and the operations the media component and the capture window call.
// A failed command raises EMCIDeviceError with the device's text.
#include "platform/MediaDevice.h"

#include <QWidget>
#include <functional>
#include <stdexcept>
#include <string>

class QToolButton;

class EMCIDeviceError : public std::runtime_error {
  public:
    explicit EMCIDeviceError(const std::string& text) : std::runtime_error(text) {}
};

enum TMPBtnType { btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject };
using TButtonSet = unsigned; // one bit per TMPBtnType
inline constexpr TButtonSet MPButton(TMPBtnType b) {
    return 1u << b;
}
using TMPModes = zp::MediaMode;

class TMIMediaPlayer : public QWidget {
    Q_OBJECT
  public:
    explicit TMIMediaPlayer(QWidget* parent = nullptr);
    ~TMIMediaPlayer() override;

    TButtonSet VisibleButtons() const { return FVisible; }
    void SetVisibleButtons(TButtonSet buttons);
    TButtonSet EnabledButtons() const { return FEnabled; }
    void SetEnabledButtons(TButtonSet buttons);
    QToolButton* Button(TMPBtnType type) const { return FButtons[type]; }

    std::string FileName;
    // Opens FileName; closes what was open first.
    void Open();
    // A camera through libavdevice instead of a file.
    void OpenCamera(const std::string& format, const std::string& device);
    void Close();
    void Play();
    void Pause();
    void Stop();
    void Next();     // to the end
    void Previous(); // to the start
    void Step();
    void Back();
    void StartRecording();

    TMPModes Mode() const { return FDevice.Mode(); }
    int64_t Position() const { return FDevice.Position(); }
    int64_t Length() const { return FDevice.Length(); }
    bool DeviceOpen() const { return FDevice.IsOpen(); }
    // The display window and its rectangle (MCI_WINDOW, MCI_PUT).
    void SetDisplay(zp::MediaSink* sink) { FDevice.SetSink(sink); }
    zp::MediaSink* Display() const { return FDevice.Sink(); }
    void SetDisplayRect(int x, int y, int width, int height);
    const zp::MediaDevice& Device() const { return FDevice; }

    // A button press: the handler may clear doDefault to skip the command.
    std::function<void(TMPBtnType button, bool& doDefault)> OnClick;
    // After every mode change.
    std::function<void()> OnNotify;

  private:
    void Check(bool ok);
    void Click(TMPBtnType type);
    void UpdateButtons();

    zp::MediaDevice FDevice;
    QToolButton* FButtons[btEject + 1] = {};
    TButtonSet FVisible = ~0u;
    TButtonSet FEnabled = ~0u;
};
