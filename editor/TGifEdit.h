#pragma once
// The animation editor. It owns no animation: the main window hands it the
// frame and comment lists of its animated-image component (FFrameList,
// FCommentList) and every change is made in those lists, in place.
//
// The window has three views that share the client area: the frame view
// (frame list, preview, the "Image Info", "Frame Info" and "Palette Info"
// boxes), the comments view (comment list, comment tool bar and memo) and
// the playback view (a temporary animated-image component in place of the
// preview).
//
// The implementation is split by concern: TGifEdit.cpp (creation, menus,
// tool bar, layout, keys, hints, what's-this), TGifEditPanels.cpp (the
// three info boxes), TGifEditFrames.cpp (the frame list, panels, preview,
// property changes, frame order), TGifEditPalette.cpp (the palette grid,
// composing and applying colours, the palette manager),
// TGifEditOperations.cpp (clipboard, apply-to-selected, resize, crop,
// rotate, text), TGifEditAdd.cpp (adding frames), TGifEditVideo.cpp (frames
// from video and live video), TGifEditComments.cpp, TGifEditSave.cpp,
// TGifEditPlay.cpp and TGifEditUndo.cpp (the undo history; the steps are in
// editor/commands/).
//
// Hints reach the window they belong to as status-tip events, so each
// window shows its own and no application-wide hint handler has to be
// saved and put back.
//
// Commands whose windows come later (scanners and cameras, and the
// effects dialog behind "Manipulate") are present, disabled, and say so in
// their hints.
#include "editor/commands/TChangeKind.h"
#include "imaging/animated/PVTDib.h"
#include "imaging/animated/TMyGifAnimation.h"
#include "platform/TBitmap.h"
#include "platform/WinTypes.h"

#include <QColor>
#include <QDialog>
#include <QImage>
#include <QSet>
#include <functional>
#include <memory>

class PVWebImage;
class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPainter;
class QPlainTextEdit;
class QProgressBar;
class QScrollArea;
class QSlider;
class QSpinBox;
class QStatusBar;
class QTimer;
class QToolButton;
class TChangeRecorder;
class TEditHistory;
class TEditorCommand;
class TMSOfficeCaption;
class TPaintBox;
class TStretchHandle;
namespace DllSP96 {
struct Area;
} // namespace DllSP96

class TGifEdit : public QDialog {
    Q_OBJECT
  public:
    explicit TGifEdit(QWidget* parent = nullptr);
    ~TGifEdit() override;

    // Borrowed from the main window's component; never freed here.
    TFrameList* FFrameList = nullptr;
    TCommentList* FCommentList = nullptr;
    // Called after records were changed in place (pixels, order, removal),
    // so that a component showing the same records builds its screen
    // again. The main window points it at its component.
    std::function<void()> OnFramesChanged;

    // The frame-control group (see the class comment for what stays off).
    void SetFrameControlsEnabled(bool value);
    // A click on a frame entry: shows the caret entry's record.
    void LoadFrameIntoPanels();
    // Move buttons follow the selection of the frame list.
    void UpdateMoveButtons();
    // Shows frame 0's screen size and background colour (without storing
    // them again); nothing for an empty list.
    void ShowScreenValues();
    // Writes the frame count into `Frames`.
    void ShowFrameCount();

    // Frame operations of the list's buttons.
    void SelectAllClick();
    void MoveUpClick();
    void MoveDownClick();
    // Asks, then removes and frees the selected frames.
    void DeleteSelectedframesClick();
    // The current frame's picture on the clipboard; cut then deletes.
    void ClipCopyClick();
    void CutClick();
    // Apply-to-selected, resize, crop, rotate: each through its dialog.
    void ApplyFrmsClick();
    void Resize_ImageClick();
    void CropImageClick();
    void RotateFrameClick();
    // The effects dialog on the current frame (TGifEditManipulate.cpp).
    void ManipulClick();
    // Text on frames: show or hide the label, wrap it in the handles, its
    // options, and burning it into the selected frames.
    void TextOnImageClick();
    void TextLabelDblClick();
    void TextOptionsClick();
    void BurnText();
    // The working picture as a device bitmap (false when there is none),
    // and a changed bitmap stored back into the current record.
    bool CurrentFrameBitmap(zp::TBitmap& bitmap);
    void StoreBitmapInFrame(zp::TBitmap& bitmap);

    // Comments.
    void ToggleCommentsClick(bool fromMenu);
    void SaveComment();
    void CommentNameBoxClick();
    void cNewClick();
    void cSaveClick();
    void cDeleteClick();
    void cLoadFromFileClick();
    void cSaveToFileClick();
    void cPrintClick();
    // The memo's y positions of printed lines, in printer units.
    static constexpr int PrintLineStep = 45;
    static constexpr int PrintLeft = 5;
    static constexpr int CommentLimit = 2048;

    // Saving and playback.
    void SaveBtnClick();
    // Writes the records, and every comment block when asked, to one GIF
    // file through a temporary component. A failure is shown once and
    // answers false; nothing is written while playing.
    bool SaveFramesTo(const std::vector<TMyGifAnimation*>& frames, bool comments,
                      const std::string& file);
    void PlayGifClick(bool fromMenu);
    void Timer1Timer();
    bool Playing() const;
    PVWebImage* TempImage() const { return FTempImage; }

    // Undo and redo (TGifEditUndo.cpp). The history lives as long as the
    // window; Modified says whether the animation changed since it was last
    // saved whole (or since the window opened).
    TEditHistory* History() const { return FHistory; }
    bool Modified() const;
    // Set by the opener: the animation had unsaved changes already.
    bool ChangedBefore = false;
    // One recorder per editing operation, made before it changes anything;
    // the records named have their pictures noted too.
    TChangeRecorder Change(TChangeKind kind, const QString& text,
                           const std::vector<TMyGifAnimation*>& pictures = {}, int field = -1);
    // What merges: consecutive changes of one control on the same frames.
    enum TUndoField {
        ufLeft,
        ufTop,
        ufDelay,
        ufLoops,
        ufScreen,
        ufDisposal,
        ufTransparency,
        ufTransparentIndex,
        ufBackground,
        ufInterlaced,
        ufLocalPalette,
        ufPaletteEntry = 100
    };

    // What's-this: the text for the control last pressed, shown in the popup.
    void WhatsThisClick();
    // F1 topic for a control of this window.
    QString HelpTopicFor(const QWidget* control) const;

    // The colour shown by a panel (Panel5, Panel6, pnlColor); may be a
    // system-colour reference.
    static void SetPanelColor(QWidget* panel, COLORREF colour);
    COLORREF Panel5Color() const { return FPanel5Color; }

    // Editor state.
    TMyGifAnimation* FCurrentFrame = nullptr; // none while the list is empty
    std::unique_ptr<PVWebImg::PVTDib> FWorkDib;
    bool FLoadingControls = false;
    uint8_t FPaletteIndex = 0;
    bool FSyncingTrackBars = false;
    int FCellWidth = 0;
    int FCellHeight = 0;
    bool FCommentModified = false;
    int FCommentIndex = -1;

    // Tool bar.
    QFrame* ToolBar = nullptr;
    QToolButton* Load_Image = nullptr;
    QToolButton* SaveBtn = nullptr;
    QToolButton* ClipCopy = nullptr;
    QToolButton* ClipPaste = nullptr;
    QToolButton* UndoBtn = nullptr;
    QToolButton* RedoBtn = nullptr;
    QToolButton* SelectSourceBtn = nullptr;
    QToolButton* ScanImagesBtn = nullptr;
    QToolButton* MakeGifsequencefromavideo = nullptr;
    QToolButton* MakeGifsequencefromaLivevideoClick = nullptr;
    QToolButton* Resize_Image = nullptr;
    QToolButton* CropImage = nullptr;
    QToolButton* RotateFrame = nullptr;
    QToolButton* TextOnImage = nullptr;
    QToolButton* OptPalettes = nullptr;
    QToolButton* ApplyFrms = nullptr;
    QToolButton* ToggleComments = nullptr;
    QToolButton* Manipul = nullptr;
    QToolButton* PlayGif = nullptr;
    QToolButton* Abboutbox = nullptr;
    QToolButton* CloseWindow = nullptr;

    // Client area below the tool bar.
    QWidget* ClientPanel = nullptr;
    QListWidget* GifNameBox = nullptr;
    QListWidget* CommentNameBox = nullptr;
    QToolButton* MoveUp = nullptr;
    QToolButton* SelectAll = nullptr;
    QToolButton* DeleteSelectedframes = nullptr;
    QToolButton* MoveDown = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* PreviewHolder = nullptr; // the scroll box's content
    TPaintBox* PaintBox1 = nullptr;
    QLabel* TextLabel = nullptr;
    TStretchHandle* FStretchHandle = nullptr;
    // The text label's colours; its text and font are the label's own.
    QColor FTextColor{Qt::black};
    QColor FTextBackColor{Qt::white};
    bool FTextTransparent = true;

    // Comments view.
    QFrame* Panel7 = nullptr;
    QToolButton* cNew = nullptr;
    QToolButton* cSave = nullptr;
    QToolButton* cDelete = nullptr;
    QToolButton* cLoadFromFile = nullptr;
    QToolButton* cSaveToFile = nullptr;
    QToolButton* cPrint = nullptr;
    QToolButton* cCopy = nullptr;
    QToolButton* cCut = nullptr;
    QToolButton* cPaste = nullptr;
    QPlainTextEdit* ComMem = nullptr;

    // "Image Info".
    QGroupBox* ImageInfo = nullptr;
    QSpinBox* ScreenWidthEdit = nullptr;
    QSpinBox* ScreenHeightEdit = nullptr;
    QSpinBox* NetLoopsSpin = nullptr;
    QLabel* Panel5 = nullptr; // back colour
    QLineEdit* Frames = nullptr;

    // "Frame Info".
    QGroupBox* FrameInfo = nullptr;
    QSpinBox* LeftEdit = nullptr;
    QSpinBox* TopEdit = nullptr;
    QSpinBox* DelaySpin = nullptr;
    QCheckBox* HasTransparency = nullptr;
    QLabel* TransLabel = nullptr;
    QLabel* Panel6 = nullptr; // transparent colour
    QCheckBox* InterlacedBox = nullptr;
    QComboBox* Dispos = nullptr;

    // "Palette Info".
    QGroupBox* PaletteInfo = nullptr;
    QFrame* Panel2 = nullptr; // black frame around the grid
    TPaintBox* pbPalette = nullptr;
    QSlider* trbRed = nullptr;
    QSlider* trbGreen = nullptr;
    QSlider* trbBlue = nullptr;
    QLabel* lblRed = nullptr;
    QLabel* lblGreen = nullptr;
    QLabel* lblBlue = nullptr;
    QLabel* lblPalText = nullptr;
    QLabel* pnlColor = nullptr;
    QToolButton* SetWindowColor = nullptr;
    QCheckBox* AAPl = nullptr;
    QCheckBox* Usesitsownpalette = nullptr;

    // Status bar: panel 0 frame size, panel 1 free, panel 2 hints and progress.
    QStatusBar* Panel3 = nullptr;
    QLabel* StatusPanels[3] = {};
    QProgressBar* PBar = nullptr;

    // Menus and the what's-this popup.
    QMenuBar* MainMenu1 = nullptr;
    QMenu* File1 = nullptr;
    QAction* New1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* Play1 = nullptr;
    QAction* Comments1 = nullptr;
    QAction* SelectTwainSource1 = nullptr;
    QAction* AcquireImage1 = nullptr;
    QAction* InsertFramesfromAVI1 = nullptr;
    QAction* InsertFramesfromLiveVideo1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Edit1 = nullptr;
    QAction* Cut1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;
    QAction* Undo1 = nullptr;
    QAction* Redo1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Contents1 = nullptr;
    QAction* SearchforHelpOn1 = nullptr;
    QAction* HowtoUseHelp1 = nullptr;
    QAction* About1 = nullptr;
    QMenu* Pop = nullptr;
    QAction* WhatsThis1 = nullptr;

    QTimer* Timer1 = nullptr;
    TMSOfficeCaption* MSOfficeCaption1 = nullptr;

    // Client size the window opens with.
    static constexpr int ClientWidth = 626;
    static constexpr int ClientHeight = 477;
    // The info boxes never start above this.
    static constexpr int MinInfoTop = 191;
    static const QString NotAvailableYet;

    // Places the controls for the client size.
    void FormResize();
    // The palette panel: the colour-change handler (the bars' change),
    // applying the composed colour to the picked entry (pnlColor), the
    // window colour, and storing the working picture in the current record.
    void ColorChanged();
    void pnlColorClick();
    void SetWindowColorClick();
    void CommitWorkDib();
    // The palette manager and its two actions on the selected frames.
    void OptPalettesClick();
    void OptimizePalettes();
    void CopyPaletteToSelected();

    // Adding frames (TGifEditAdd.cpp). Each addition ends with the frame
    // count, frame 0's screen values and a FramesChanged.
    // "Insert New Frame(s) from File": after the confirmation, the open
    // dialog; a still picture becomes one 8-bit frame with its own palette,
    // a GIF gives the frames picked in the import selector. Inserted at the
    // caret; the first inserted frame becomes the current one.
    void Load_ImageClick();
    // Replaces the caret frame's picture by the clipboard's (Yes), or
    // appends it as a frame of its own (No), which becomes the current one.
    void ClipPasteClick();
    // "&New": a blank frame of 100 x 100 pixels and 8 bits.
    void New1Click();
    // Appends a blank frame (black, 24, 8 or 4 bits); false for other
    // depths or sizes, or without memory.
    bool AddBlankFrame(int width, int bitsPerPixel, int height);
    // Inserts a deep copy of a record (its own name and picture); false
    // without memory.
    bool InsertFrameCopy(const TMyGifAnimation& source, int position);
    // Appends a record of FWorkDib's size holding `picture` (taken), with a
    // delay of 10 and, as a first frame, the screen; it becomes the current
    // frame, alone selected.
    TMyGifAnimation* AppendWorkDibFrame(const std::string& name, HGLOBAL picture);
    // The record at `row` becomes the current frame and takes a copy of
    // FWorkDib's picture with its size, and the name.
    void ReplaceFrameWithWorkDib(int row, const std::string& name);
    // After a paste or scan: the preview and size of FWorkDib, the panels of
    // the frame it went into.
    void ShowAddedPicture();
    // Inserts a record of FWorkDib's picture, named after the file.
    bool AppendFrameFromWorkDib(const std::string& fileName, int position);
    // Dragging in the frame list (TGifEditDrop.cpp). The selected frames
    // move to before `position` (a row of the list as it is), keeping their
    // order; frame 0 keeps the screen size shown. Files dropped on the list
    // are inserted at `position` as "Insert New Frame(s) from File" inserts
    // them (GIF files through the frame selector), as one undo step.
    void MoveFramesTo(const QList<int>& rows, int position);
    void InsertFilesAt(const QStringList& files, int position);
    // The row a drop at a point of the list's viewport inserts before.
    int DropRow(QPoint at) const;
    // The open dialog of the insertion, made on first use.
    class TMMOpenDialog* MMOpenDialog1 = nullptr;
    // Frames from a video file and from live video (TGifEditVideo.cpp):
    // the capture window's records, on OK, appended at the end.
    void MakeGifsequencefromavideoClick();
    void InsertFramesfromLiveVideoClick();
    // Appends records a capture window built; they become the frame list's.
    void AppendCapturedFrames(const TFrameList& records);

  private:
    void ConnectAddingFrames();
    void ConnectVideoCommands();

    // Scanner and camera (TGifEditScan.cpp).
  public:
    void SelectSourceBtnClick();
    void ScanImagesBtnClick();
    void AcquireSingleImage();
    // The one way records made by the scanner and camera windows enter the
    // animation: appended in order, their ownership passing to FFrameList,
    // with "Adding frame n" in the status window and status bar.
    void AppendAcquiredFrames(const TFrameList& records);
    // Created on first use, freed with the editor.
    class TTwainForm* FTwainForm = nullptr;
    class TDigCamForm* FDigCamForm = nullptr;

  private:
    void ConnectScanning();
    bool InsertFrameFromStill(const std::string& fileName, int position);
    bool InsertFramesFromGif(const std::string& fileName, int position);
    // Inserts the record into the frame list (the names follow with
    // RefillNames); one put before the first takes the screen size shown.
    void InsertRecord(TMyGifAnimation* record, int position);
    void RefillNames();
    void AddingEnded(bool enableControls);

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    // TGifEdit.cpp
    void CreateToolBar();
    void CreateMenus();
    void CreateFrameList();
    void CreatePreview();
    void CreateCommentsView();
    void CreateStatusBar();
    void ConnectCommands();
    QToolButton* MakeButton(QWidget* parent, const QString& caption, int glyph,
                            const QString& hint);
    // Marks a command whose window is not built yet: off for good.
    void NotYet(QWidget* control);
    void NotYet(QAction* action);
    bool Available(const QObject* control) const { return !FUnavailable.contains(control); }
    // TGifEditPanels.cpp
    void CreateImageInfo();
    void CreateFrameInfo();
    void CreatePaletteInfo();
    void ConnectPanels();
    // TGifEditFrames.cpp
    void PlacePreview(int left, int top);
    void PaintPreview(QPainter& painter);
    void PreviewMouseDown(QPoint at);
    void PaintPalette(QPainter& painter);
    void PaletteMouseDown(QPoint at);
    void LeftEditChange(int value);
    void TopEditChange(int value);
    void ScreenSizeChange();
    void DisposChange(int index);
    void HasTransparencyClick(bool ticked);
    void Panel6MouseDown();
    void Panel5MouseDown(Qt::MouseButton button);
    void FramesChanged();
    // An empty list: controls off, no current frame, no preview.
    void ShowNoFrame();
    void MoveCaretFrame(int step);
    // Rebuilds the preview from the working picture and places it.
    void RefreshPreview();
    // Shows a palette entry's new colour in the preview without a rebuild.
    void ShowPreviewEntry(int index, QRgb colour);
    // The selected rows of the frame list that have a record.
    QList<int> SelectedFrames() const;
    // Per-frame progress in status panel 2 and the status window.
    void SetProgressText(const QString& text);
    // TGifEditOperations.cpp
    // Runs the change on the selected frames (all) or the current one, with
    // per-frame progress; painting is off meanwhile.
    void ChangeFrames(const QString& verb, bool all, bool controlsOff,
                      const std::function<bool(TMyGifAnimation*, int)>& change);
    // The record takes a copy of its picture's source area resized (smoothed
    // or not) to width x height, and that size.
    bool CopyImageInto(TMyGifAnimation* record, int width, int height, bool antialias,
                       const DllSP96::Area& source);
    void ShowTextLabelStyle();
    // TGifEditPalette.cpp
    void ShowComposedColor();
    void AnimateEntry(COLORREF colour);
    void RestoreAnimatedEntry();
    // The frame view's editing: the frame controls, the commands that add
    // frames, and the info boxes and list buttons (off in the comments
    // view and while playing).
    void ShowFrameEditing(bool on);
    // TGifEditDrop.cpp
    void ConnectFrameDragging();
    bool FrameListDrag(QEvent* event);
    // TGifEditUndo.cpp
    void CreateHistory();
    // The whole animation was written to one file: nothing unsaved is left.
    void SavedWhole();
    std::vector<TMyGifAnimation*> RecordsOf(const QList<int>& rows) const;
    // The lists, panels and preview after a step was undone or redone.
    void ShowRestoredState(const TEditorCommand& step);
    // TGifEditComments.cpp
    void SetCommentButtonsEnabled(bool value);
    void ComMemChanged();
    // TGifEditPlay.cpp
    void ShowPlayState(bool playing);
    // TGifEditSave.cpp
    // The codec's text of a failed save; empty when the file was written.
    std::string WriteFramesTo(const std::vector<TMyGifAnimation*>& frames, bool comments,
                              const std::string& file);
    PVWebImage* MakeTempImage(bool visible);
    void FreeTempImage();

    PVWebImage* FTempImage = nullptr;
    TEditHistory* FHistory = nullptr;
    bool FSavedWhole = false;
    COLORREF FPanel5Color = 0;
    // The working picture as the preview shows it (and colours are picked from).
    QImage FPreview;
    // The list entry playback highlighted last; -1 for none.
    int FPlayHighlight = -1;
    // The user's selection and caret, given back when playback stops.
    QList<int> FSelectionBeforePlay;
    int FCaretBeforePlay = -1;
    QSet<const QObject*> FUnavailable;
    bool FCommentsView = false;
    bool FShownOnce = false;
};
