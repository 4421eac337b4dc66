#pragma once
// The animated-image component: shows an animation of the model it derives
// from. GIF drawing composes each frame into a persistent canvas, the way a
// GIF decoder builds the screen up (what was drawn before stays); other
// pictures are drawn scaled, stretched or scrolled. Playback is stepped from
// outside: the host's timer calls StepFrame, and the component's own delay
// timer only marks the current frame's delay as run out.
#include "imaging/animated/PVAnimationModel.h"

#include <QImage>
#include <QWidget>

class QFrame;
class QScrollBar;
class QTimer;

class PVWebImage : public QWidget, public PVAnimationModel {
    Q_OBJECT

  public:
    enum TPngDisplay { png_blocks, png_pixels };
    enum TPngJpgResolution { Bit8, Bit24 };
    static constexpr int ScrollBarThickness = 12;

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
    // The control's colour (button face at creation): fills a cleared
    // transparent frame's area and the canvas where nothing was drawn.
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
    void ComposeScaled();
    void EnsureCanvas();
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
};
