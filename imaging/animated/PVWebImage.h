#pragma once
// The animated-image component: shows an animation of the model it derives
// from. GIF drawing shows the compositor's logical screen (each frame's own
// disposal applied before the next, transparent pixels keeping what lies
// below, as browsers show GIFs), with the control's Color wherever the
// screen is transparent; other pictures are drawn scaled, stretched or
// scrolled. Playback is stepped from outside: the host's timer calls
// StepFrame every HostStepInterval milliseconds, and the component's own
// delay timer marks the current frame's delay as run out.
//
// Timing: each frame's delay is counted from when it was due, not from the
// host tick that showed it, so ticks never add up: 100 frames of 4
// hundredths take 4 s, not 100 x (40 ms + a tick). A host that falls behind
// by more than CatchUpLimit starts counting afresh rather than rushing
// frames. Delays of 0 and 1 hundredths are shown for 10, as browsers do.
#include "imaging/animated/PVAnimationModel.h"
#include "imaging/animated/PVCompositor.h"

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <optional>

class QFrame;
class QScrollBar;
class QTimer;

class PVWebImage : public QWidget, public PVAnimationModel {
    Q_OBJECT

  public:
    enum TPngDisplay { png_blocks, png_pixels };
    enum TPngJpgResolution { Bit8, Bit24 };
    static constexpr int ScrollBarThickness = 12;
    // How often hosts call StepFrame, in milliseconds.
    static constexpr int HostStepInterval = 10;
    // Lateness (ms) up to which the schedule is kept when a step comes late.
    static constexpr int64_t CatchUpLimit = 100;
    // Milliseconds from any fixed origin, never going back.
    using TClock = std::function<int64_t()>;

    explicit PVWebImage(QWidget* parent = nullptr);
    ~PVWebImage() override;

    // Published properties. MapTransparentColor and AutoSize are the model's
    // fields; SetAutoSize also sizes the control.
    void SetAutoSize(bool value);
    TPngDisplay PngDisplay() const { return FPngDisplay; }
    void SetPngDisplay(TPngDisplay value) { FPngDisplay = value; }
    TPngJpgResolution PngJpgResolution() const { return FPngJpgResolution; }
    void SetPngJpgResolution(TPngJpgResolution value) { FPngJpgResolution = value; }
    COLORREF PngJpgBackGroundColor() const { return FPngJpgBackGroundColor; }
    void SetPngJpgBackGroundColor(COLORREF value) { FPngJpgBackGroundColor = value; }
    bool StretchPngJpg() const { return FStretchPngJpg; }
    void SetStretchPngJpg(bool value);
    bool PNGInterLaced() const { return FPNGInterLaced; }
    void SetPNGInterLaced(bool value) { FPNGInterLaced = value; }
    // Outside 1..100 the quality is stored as 25 and the smoothing as 5.
    uint8_t JPegSaveQuality() const { return FJPegSaveQuality; }
    void SetJPegSaveQuality(int value);
    uint8_t JPegSaveSmooth() const { return FJPegSaveSmooth; }
    void SetJPegSaveSmooth(int value);
    bool UseScrollBars() const { return FUseScrollBars; }
    void SetUseScrollBars(bool value);
    // The control's colour (button face at creation): shows wherever the
    // animation's screen is transparent and around the screen.
    COLORREF Color() const { return FColor; }
    void SetColor(COLORREF value);

    // Playback.
    void Play();
    void Stop();
    void StepFrame();
    void ShowFrame(int index);
    bool Playing() const { return FPlaying >= 0; }
    // The largest Loops of all frames when Play started (0 = unlimited);
    // stepping does not count loops.
    int LoopLimit() const { return FLoopLimit; }
    bool DelayElapsed() const { return FDelayElapsed; }
    const QTimer& DelayTimer() const { return *FDelayTimer; }
    // The delay timer's handler: the frame's delay has run out.
    void DelayTimerTimer();
    // The clock playback counts delays with; a steady clock unless a test
    // sets its own.
    void SetClock(TClock clock);
    // Delay in hundredths a frame is shown for.
    static int ShownDelay(uint16_t delay) { return delay <= 1 ? 10 : delay; }

    void FramesChanged() override;
    const PVWebImg::PVCompositor& Compositor() const { return FCompositor; }

    // Frame 0's logical screen after a GIF load, else the picture's size.
    QSize ImageSize();
    QPoint ScrollPosition() const { return {FScrollX, FScrollY}; }
    const QScrollBar& VertScrollBar() const { return *FVertScrollBar; }
    const QScrollBar& HorzScrollBar() const { return *FHorzScrollBar; }
    const QFrame& CornerPanel() const { return *FCornerPanel; }
    // Moves a scroll bar as the user would (stores the offset and paints).
    void ScrollTo(int x, int y);

    // The host calls this once the control is placed; the first show does
    // it otherwise. Scroll-bar layout on resizing waits for it.
    void Loaded();
    bool IsLoaded() const { return FLoaded; }

    // Draws the picture on display into the canvas (nothing while
    // PaintingEnabled is false) and schedules a repaint.
    void Paint();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

    void StopPlayback() override;
    void PaintNow() override;
    void ProcessMessages() override;
    void ApplyAutoSize() override;
    void ResetViewForLoad() override;
    void InvalidateView() override;

  private:
    bool Compose();
    void ComposeGif();
    void ShowComposition();
    void ComposeAndShow(bool now);
    void ShowFrameFrom(int index, int64_t start);
    void ComposeScaled();
    void SizeCanvas(QSize need);
    void LayoutScrollBars();
    void ScrollBarMoved();

    COLORREF FColor;
    TPngDisplay FPngDisplay = png_blocks;
    TPngJpgResolution FPngJpgResolution = Bit8;
    COLORREF FPngJpgBackGroundColor;
    bool FStretchPngJpg = false;
    bool FPNGInterLaced = false;
    uint8_t FJPegSaveQuality = 25;
    uint8_t FJPegSaveSmooth = 0;
    bool FUseScrollBars = false;

    int FPlaying = -1; // -1 stopped, 0 playing
    int FLoopLimit = 0;
    bool FDelayElapsed = false;
    QTimer* FDelayTimer;
    QScrollBar* FVertScrollBar;
    QScrollBar* FHorzScrollBar;
    QFrame* FCornerPanel;
    int FScrollX = 0;
    int FScrollY = 0;
    bool FLoaded = false;

    // What the control shows; composing draws into it and leaves the rest.
    QImage FCanvas;
    // False when the canvas must be drawn again at the next paint event.
    bool FComposed = false;

    // The animation's logical screen; FCanvas shows what changed of it.
    PVWebImg::PVCompositor FCompositor;
    // Set when FCanvas must take the whole screen again, not just what changed.
    bool FShowAll = true;
    QSize FShownScreen; // the compositor's size at the last copy
    // What the last composing changed on the canvas; none = everything.
    std::optional<QRect> FChanged;

    TClock FClock;
    // When the frame on display has been shown for its delay (FClock time).
    int64_t FFrameDue = 0;
    bool FDueValid = false;
};
