#pragma once
// The still-image component: shows one picture read from any file format
// the codec, TIFF and DXF libraries know, at natural size, centred,
// stretched, scaled with its aspect kept or tiled; scrolls large pictures
// with scroll bars and a grab hand; draws an aspect-keeping rubber band, a
// rotated text overlay, transitions and two scrolling-text modes; copies,
// cuts and pastes through the clipboard.
//
// The implementation is split by concern: TPMultiImage.cpp (creation,
// properties, view, keys), TPMultiImageClipboard.cpp (clipboard, rotation,
// window copies), TPMultiImageLoad.cpp (ImageName, readers, ReadImageInfo),
// TPMultiImageResource.cpp (".RES" images), TPMultiImagePaint.cpp (painting,
// scroll bars, text overlay, transitions), TPMultiImageMouse.cpp (grab hand,
// rubber band), TPMultiImageScrollText.cpp (".SCM" and ".CMS" modes) and
// TPMultiImageEffects.cpp (the round trip through the effects dialog).
//
// Annotations: this build has no annotation library. The hooks stay empty:
// creation never fails for their sake, AutoLoadAnno/AutoSaveAnno load and
// save nothing, and with EditAnnotat on mouse input is routed nowhere.
#include "bindings/EffectsBinding.h"
#include "imaging/common/BorderStyle.h"
#include "imaging/still/TPicture.h"

#include <QCursor>
#include <QFont>
#include <QPoint>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QScrollBar;
class QFrame;
class TPMultiImage;
struct ScrollTextState;

enum TBlitMode { sLight, sDark, sLightest };
enum TLoadResolution { lColorVga, lMonoChrome, lColor16, lColor256, lColorTrue, lAutoMatic };
enum TPCDMode { pcd_BASE16, pcd_BASE4, pcd_BASE };
enum TSaveResolution {
    sColorVga,
    sMonoChrome,
    sColor16,
    sColor256,
    sColorTrue,
    sJpegGray,
    sAutoMatic
};
enum TTiffCompression { sNONE, sCCITT, sFAXCCITT3, sFAXCCITT4, sLZW, sPACKBITS };
enum TMouseButton { mbLeft, mbRight, mbMiddle };
// A set of DllSP96::TBWImageFlags, one bit per member.
using TBWCopyFlags = uint8_t;
inline constexpr TBWCopyFlags BWFlag(DllSP96::TBWImageFlags f) {
    return TBWCopyFlags(1u << f);
}
using TShiftState = Qt::KeyboardModifiers;

using TPVMesProgress = std::function<void(TPMultiImage* sender, int16_t progress,
                                          const std::string& message, bool& cancelProcess)>;
using TStillLibError = std::function<void(TPMultiImage* sender, int16_t errorCode,
                                          const std::string& errorString, const char* errorPChar)>;
using TStillNotify = std::function<void(TPMultiImage* sender)>;
using TPaintArea = std::function<void(TPMultiImage* sender, int x, int y, int xx, int yy)>;
using TRubberband = std::function<void(TPMultiImage* sender, TMouseButton button, TShiftState shift,
                                       int x, int y, int xx, int yy)>;

class TPMultiImage : public QWidget {
    Q_OBJECT
  public:
    // Index of the "GRABHAND" cursor in the application's cursor table.
    static constexpr int crGrabHand = 5;

    explicit TPMultiImage(QWidget* parent = nullptr);
    ~TPMultiImage() override;

    // Called once the host has set the control up (as after reading a
    // form); the first show calls it when the host has not.
    void Loaded();
    bool IsLoaded() const { return FLoaded; }
    // Moves and sizes the control; once loaded, re-lays the scroll bars and
    // under StretchRatio recomputes the fit factor.
    void SetBounds(int left, int top, int width, int height);

    // --- Properties with setter rules -----------------------------------
    const std::string& ImageName() const { return FImageName; }
    void SetImageName(const std::string& name);
    TPicture& Picture() { return FPicture; }
    const TPicture& Picture() const { return FPicture; }
    void SetPicture(const TPicture& picture);

    COLORREF Color() const { return FColor; }
    void SetColor(COLORREF color);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool on);
    bool Center() const { return FCenter; }
    void SetCenter(bool on);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool on);
    bool StretchRatio() const { return FStretchRatio; }
    void SetStretchRatio(bool on);
    bool TileWindow() const { return FTileWindow; }
    void SetTileWindow(bool on);
    bool Scrolling() const { return FScrolling; }
    void SetScrolling(bool on);
    bool ShowScrollbars() const { return FShowScrollbars; }
    void SetShowScrollbars(bool on);
    int ScrollbarWidth() const { return FScrollbarWidth; }
    void SetScrollbarWidth(int width);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle style);
    TBlitMode BlitMode() const { return FBlitMode; }
    void SetBlitMode(TBlitMode mode);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& text);
    int TextLeft() const { return FTextLeft; }
    void SetTextLeft(int x);
    int TextTop() const { return FTextTop; }
    void SetTextTop(int y);
    int TextRotate() const { return FTextRotate; }
    void SetTextRotate(int degrees);
    bool TextShadow() const { return FTextShadow; }
    void SetTextShadow(bool on);
    COLORREF TextShadowColor() const { return FTextShadowColor; }
    void SetTextShadowColor(COLORREF color);
    bool TextTransParent() const { return FTextTransParent; }
    void SetTextTransParent(bool on);
    bool EditAnnotat() const { return FEditAnnotat; }
    void SetEditAnnotat(bool on);
    uint8_t JPegSaveQuality() const { return FJPegSaveQuality; }
    void SetJPegSaveQuality(int value); // 1..100, else 25
    uint8_t JPegSaveSmooth() const { return FJPegSaveSmooth; }
    void SetJPegSaveSmooth(int value); // 1..100, else 5
    double Version() const { return 4.0; }

    // --- Stored properties (read where noted) ---------------------------
    int GrabHandCursor = crGrabHand;
    TLoadResolution ImageReadRes = lAutoMatic;
    bool ImageDither = false;
    TPCDMode PCDMode = pcd_BASE4;
    int16_t TiffPage = 0;
    bool AllowRubberBand = false;
    TMouseButton RubberBandBtn = mbLeft;
    DllSP96::TFXMethod FXMethod = DllSP96::FXNone;
    int FXDelay = 25;
    int FXColRowThick = 4;
    COLORREF RotateBackColor;
    bool PVUndo = true;
    bool AutoLoadAnno = false;
    bool AutoSaveAnno = false;
    std::string AnnoFileName;
    int ZoomBy = 10;
    TSaveResolution ImageWriteRes = sAutoMatic;
    TTiffCompression TifSaveCompress = sNONE;
    bool TiffAppend = false;
    bool PNGInterLaced = false;
    bool P_Begin_End_Doc = true;
    std::string DefSaveFilename;
    TBWCopyFlags B_W_CopyFlags = BWFlag(DllSP96::C_DEL);
    DllSP96::TSortDither ReduceDither = DllSP96::PV_BAYER;

    // --- Events ----------------------------------------------------------
    TPVMesProgress OnProgress;
    TStillLibError OnPvlibError;
    TStillNotify OnPictureChanged;
    TStillNotify OnPaint;
    TStillNotify OnFinishedLoadSave;
    TStillNotify OnAnnoDone;
    TPaintArea OnPaintArea;
    TRubberband OnRubberband;

    // --- Public state ----------------------------------------------------
    // Filled by ReadImageInfo.
    std::string ImageFormat;
    int32_t ImageWidth = 0;
    int32_t ImageHeight = 0;
    int16_t ImageBitsPerPixel = 0;
    int16_t ImageValue1 = 0; // passed through from the codec's information call
    int16_t ImageValue2 = 0;
    int32_t ImageFileSize = 0;
    std::string ImageCompression;
    int16_t ImagePageCount = 0;

    // The view: zoom and the image pixel at the top-left of the view.
    double ZoomFactor = 1.0;
    QPoint ScrollOrigin{0, 0};
    // Offsets of the last centred scaled paint.
    int16_t CenterOffsetX = 0;
    int16_t CenterOffsetY = 0;
    // Module searched for ".RES" images: empty = the program's own
    // resources, else a Qt binary resource file (.rcc).
    std::string ResourceModule;
    // Receives WM_PV_NOTIFY (lParam = this component) as a posted event.
    QObject* NotifyWindow = nullptr;
    bool EffectsApplied = false;

    // Scrolling-text settings; a caller may fill them and call ShowCreditLine.
    QFont ScrollFont;
    int ScrollSpeed = 1;
    COLORREF ScrollFontColor = 255; // the colour of ScrollFont's text
    COLORREF ScrollBackColor = 0;
    std::string ScrollMessage;
    std::vector<std::string> CreditLines;
    int CreditIndex = 0;
    // Partner controls that ScrollTextTick steps too (may be nullptr).
    TPMultiImage* ScrollPartner1 = nullptr;
    TPMultiImage* ScrollPartner2 = nullptr;

    // --- Operations ------------------------------------------------------
    bool ReadImageInfo(const std::string& fileName);
    void CopyToClipboard();
    void CutToClipboard();
    void PasteFromClipboard();
    void ResetView();
    void RotatePicture(int left, int top, double angle, int bottom, int right);
    void CopyFromWindow(QWidget* window);
    void StopScrollText(bool clearPicture);
    void ScrollTextTick();
    void ShowCreditLine();

    // The round trip through the effects dialog: EffectsApplied says
    // whether it closed with OK and the picture took its result. The
    // dialog sits in a higher layer and installs itself in EffectsDialog
    // (manipulation/TEffectForm.h, InstallEffectsDialog); without it the
    // call changes nothing.
    struct EffectsRun {
        HGLOBAL Dib = 0; // in: the picture (the dialog's from then on); out: its result
        int Delay = 25, Thickness = 4;
        bool Methods[6] = {}; // one per TFXMethod, in and out
        QCursor Restore;
        bool Accepted = false; // closed with OK
    };
    using EffectsDialogRunner = std::function<void(TPMultiImage& owner, EffectsRun& run)>;
    static EffectsDialogRunner EffectsDialog;
    void ShowEffectsDialog();

    // The children, for hosts and tests.
    QScrollBar* VerticalBar() const { return FVScroll; }
    QScrollBar* HorizontalBar() const { return FHScroll; }
    QFrame* CornerPanel() const { return FCorner; }
    // True while the scrolling message or credits run.
    bool ScrollTextRunning() const;
    // True while a grab-hand drag or a rubber band is in progress.
    bool Grabbing() const { return FGrabbing; }
    bool RubberBandActive() const { return FBandActive; }
    QPoint RubberBandAnchor() const { return FBandAnchor; }
    QPoint RubberBandCorner() const { return FBandCorner; }
    // The corner of an aspect-keeping band from anchor towards (x, y) on a
    // control of the given size.
    static QPoint RubberBandCornerFor(QPoint anchor, int x, int y, int width, int height);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

  private:
    // The media component loads images through this one's steps.
    friend class TPMultiMedia;
    // TPMultiImage.cpp
    void PictureChanged();
    void PostNotify();
    void PushUndoPicture();
    void ComputeFitFactor();
    bool PictureHasBitmap() const { return FPicture.HasBitmapHandle(); }

    // TPMultiImageLoad.cpp
    void LoadByFormat(const std::string& format, const std::string& fileName);
    void LoadResourceBitmap(const std::string& fileName, zp::TBitmap& bitmap);
    void InstallBitmap(zp::TBitmap& bitmap);
    void ReportReadError();
    void FinishLoad();
    int32_t ReadBits() const;
    static int16_t ProgressCallback(int16_t percent, void* user);

    // TPMultiImagePaint.cpp
    void LayoutScrollBars();
    void HideScrollBars();
    void ScrollBarMoved();
    void DrawTextOverlay(QPainter& painter);
    void RunTransition();
    bool ScrolledImageExceeds() const;

    // TPMultiImageMouse.cpp
    void DrawBand(QPoint anchor, QPoint corner);

    // TPMultiImageScrollText.cpp
    void StartScrollMessage(const std::string& fileName);
    void StartScrollCredits(const std::string& fileName);
    void StepScrollMessage();
    void StepScrollCredits();
    void PaintScrollText(QPainter& painter);

    TPicture FPicture;
    std::string FImageName;
    bool FLoaded = false;
    bool FLoading = false;
    COLORREF FColor;
    bool FAutoSize = false;
    bool FCenter = false;
    bool FStretch = false;
    bool FStretchRatio = false;
    bool FTileWindow = false;
    bool FScrolling = true;
    bool FShowScrollbars = true;
    int FScrollbarWidth = 12;
    TBorderStyle FBorderStyle = bsNone;
    TBlitMode FBlitMode = sLight;
    std::string FText;
    int FTextLeft = 0;
    int FTextTop = 0;
    int FTextRotate = 0;
    bool FTextShadow = false;
    COLORREF FTextShadowColor = 0;
    bool FTextTransParent = true;
    bool FEditAnnotat = false;
    uint8_t FJPegSaveQuality = 25;
    uint8_t FJPegSaveSmooth = 0;

    // Copies of the view held while StretchRatio is on.
    double FSavedZoom = 1.0;
    QPoint FSavedOrigin{0, 0};

    QScrollBar* FVScroll = nullptr;
    QScrollBar* FHScroll = nullptr;
    QFrame* FCorner = nullptr;
    bool FLayingOut = false; // scroll-bar moves made by the layout are not user moves

    // Grab hand.
    bool FGrabbing = false;
    QPoint FLastPoint;
    QCursor FSavedCursor;

    // Rubber band: kept as state and painted inverted, so drawing it twice erases it.
    bool FBandActive = false;
    TMouseButton FBandButton = mbLeft;
    QPoint FBandAnchor;
    QPoint FBandCorner;

    // Transition: the new picture waits here until the transition shows it.
    zp::TBitmap FFXBuffer;

    // Scrolling-text modes (TPMultiImageScrollText.cpp owns the layout).
    std::unique_ptr<ScrollTextState> FScrollText;

    // Paint / Mouse
    // The surface a running transition draws on; painted instead of the picture.
    uintptr_t FFXSurface = 0;
    // Whether the control had a cursor of its own before the grab hand.
    bool FHadCursor = false;
    void PaintPicture(QPainter& painter);

    // TPMultiImage.cpp / Load
    // The 1-pixel frame of bsSingle: a child drawn over the control, so the
    // painting code needs no border case and mouse input passes through it.
    QFrame* FBorder = nullptr;
    bool PasteDib(const QByteArray& packed);
    bool ReadFormat(const std::string& format, const std::string& fileName, zp::TBitmap& bitmap);
    bool FillImageInfo(const std::string& fileName, bool reportError);
    void ReportError(int16_t code, const std::string& text);
    // Bytes of the packed DIB the data's header describes; 0 when the header
    // is not acceptable or the data is shorter than it promises.
    static uint64_t PackedDibSize(const QByteArray& packed);
};
