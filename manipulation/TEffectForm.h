#pragma once
// "Filters and Effects": the modal window that previews and applies image
// effects, edits the palette and picks the load transition of one picture.
// It owns the working DIB handed in by TPMultiImage::ShowEffectsDialog and
// hands it back in its state at closing.
//
// Split by concern: TEffectFormLayout.cpp (menus, tool bar, pages built
// from EffectPages), TEffectForm.cpp (showing, page change, selection,
// closing), TEffectFormRun.cpp (Preview, Apply, Stop, progress),
// TEffectFormOperations.cpp (the operation of each page),
// TEffectFormSettings.cpp ("IFiltSet.Ini"), TEffectFormPalette.cpp (the
// "Color Palette" page), TEffectFormPaste.cpp ("Paste Image").
//
// Every run works on a copy: Apply replaces the working DIB only when the
// operation finished, so "Stop" always leaves the picture as it was.
//
// Scanner: "Select Twain Source" and "Aquire Image" on the "Paste Image"
// page stay disabled until the program sets the two static hooks
// ScannerSelectSource and ScannerAcquire (the scanner code's to fill, once
// for every dialog); ScannerAcquire answers a new DIB block at the bits
// asked (0 = none), which becomes the paste source.
#include "bindings/EffectsBinding.h"
#include "imaging/animated/PVTDib.h"
#include "manipulation/ShapeImage.h"
#include "manipulation/TPVPImage.h"
#include "manipulation/TPVRubberBand.h"

#include <QCursor>
#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QSlider;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolButton;

class TEffectForm : public QDialog {
    Q_OBJECT
  public:
    explicit TEffectForm(QWidget* owner);
    ~TEffectForm() override;

    static constexpr const char* SettingsFileName = "IFiltSet.Ini";
    static std::string SettingsPath();

    // --- Handed in before exec, taken back after -----------------------
    // Ownership of the block passes to the dialog.
    void SetWorkingDib(HGLOBAL dib);
    HGLOBAL WorkingDib() const;
    int WorkWidth() const { return FWorkWidth; }
    int WorkHeight() const { return FWorkHeight; }
    int WorkBits() const { return FWorkBits; }
    int TransitionDelay = 25;
    int TransitionThickness = 4;
    bool Transitions[6] = {true, false, false, false, false, false}; // one per TFXMethod
    QCursor RestoreCursor;
    DllSP96::TFXMethod CheckedTransition() const;

    // --- Commands ------------------------------------------------------
    void PreviewClick();
    void ApplyClick();
    void StopClick() { FStop = true; }
    void ReloadClick();
    void CloseAndSaveClick();
    void CloseNoSaveClick();
    void ResetSelectionClick();
    void HideSelectionClick();
    void ResetToDefaultClick();
    // Shows the page of that caption (the first page when none matches).
    void ShowPage(const QString& caption);
    QString CurrentPage() const;
    bool PageUsesSelection() const;

    // --- Selection, image pixels -----------------------------------------
    DllSP96::Area Selection;
    // Places the selection and the band from image pixels.
    void SetSelection(int left, int top, int right, int bottom);

    // --- Paste Image ---------------------------------------------------
    // Reads the file through the codec's DIB readers; false when no picture came.
    bool LoadPasteFile(const std::string& path);
    void PasteFromClipboardClick();
    HGLOBAL PasteSource() const { return FPasteSource; }
    static std::function<void(QWidget* window)> ScannerSelectSource;
    static std::function<HGLOBAL(QWidget* window, int bits)> ScannerAcquire;

    // --- Color Palette -------------------------------------------------
    void SelectPaletteIndex(int index);
    int PaletteIndex() const { return FPaletteIndex; }
    void PaletteBarChange();
    // The combo's choice with a file where it needs one.
    void PaletteApply(const std::string& file);

    // --- Values the operations read ------------------------------------
    int Pos(const char* bar) const;
    bool Checked(const char* name) const;
    COLORREF BackgroundColor, ForegroundColor, MaskColor;
    int MotionKind = 1;
    bool ActionPending() const { return FPending; }
    bool Running() const { return FRunning; }

    // --- Controls ------------------------------------------------------
    QMenuBar* MainMenu = nullptr;
    QMenu *FileMenu = nullptr, *ImageMenu = nullptr, *DeformationMenu = nullptr,
          *CorrectionMenu = nullptr;
    QAction *ApplyItem = nullptr, *PreviewItem = nullptr, *ResetToDefault = nullptr,
            *SaveSettingsOnExit = nullptr, *ExitItem = nullptr;
    // One per page, named after it ("&Transitions" sits on the menu bar).
    std::vector<QAction*> PageItems;
    QToolButton *HSRubberband = nullptr, *ResetSelection = nullptr, *ReloadBtn = nullptr,
                *PreviewBtn = nullptr, *ApplyBtn = nullptr, *StopBtn = nullptr,
                *CloseSaveBtn = nullptr, *CloseBtn = nullptr;
    QFrame* PreviewPane = nullptr;
    TPVPImage* PVPImage = nullptr;
    QTabWidget* PvPages = nullptr;
    QStatusBar* pvStatus = nullptr;
    QLabel* pvStatusText = nullptr;
    QLabel* pvHintText = nullptr;
    QProgressBar* pvProgress = nullptr;
    QLineEdit *RLeftEdit = nullptr, *RTopEdit = nullptr, *RRightEdit = nullptr,
              *RBottomEdit = nullptr;
    std::map<std::string, QSlider*> Bars;
    std::map<std::string, QLineEdit*> Edits;
    std::map<std::string, QCheckBox*> Checks;
    std::map<std::string, QRadioButton*> Radios;
    QLabel* ColorDepthLabel = nullptr;
    QComboBox* BorderShape = nullptr;
    QComboBox* PaletteCombo = nullptr;
    QPushButton* PaletteApplyBtn = nullptr;
    QWidget* PaletteBox = nullptr;
    QLabel* NoPaletteLabel = nullptr;
    QLabel* ColorSample = nullptr;
    QLabel *RedLabel = nullptr, *GreenLabel = nullptr, *BlueLabel = nullptr, *IndexLabel = nullptr;
    QSlider *PalRedBar = nullptr, *PalGreenBar = nullptr, *PalBlueBar = nullptr;
    QListWidget *FolderList = nullptr, *FileList = nullptr;
    QLabel* FolderLabel = nullptr;
    QPushButton *PasteClipboardBtn = nullptr, *SelectTwainBtn = nullptr, *AquireBtn = nullptr;
    TPVPImage* PastePreview = nullptr;
    ShapeImage* Shape = nullptr;
    TPVRubberBand* RubberBand = nullptr;
    QTimer* ClipboardPoll = nullptr;

  public slots:
    void reject() override { CloseNoSaveClick(); }

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // TEffectFormLayout.cpp
    void CreateMenus();
    void CreateToolBar(QWidget* parent);
    void CreatePages();
    void AddBarPair(QWidget* page, int& y, const char* name, const char* label, int min, int max,
                    int position, bool tenths);
    void AddPalettePage(QWidget* page, int y);
    void AddPastePage(QWidget* page, int y);
    void AddBordersControls(QWidget* page, int& y);
    void AddColourButtons(QWidget* page, int& y, int which);
    void EditChanged(const std::string& bar);

    // TEffectForm.cpp
    void DoShow();
    void PageChanged();
    void UpdateDepthText();
    void BandChanged(int left, int top, int right, int bottom);
    void PlaceBand();
    void RebuildPreview();
    void PaneResized();
    void UpdateBandVisibility();
    void ShowPasteOverlay();
    void UpdateBorderControls();
    void UpdateMotionControls();
    void UpdateColorControls();
    void TransitionClicked(int method);

    // TEffectFormRun.cpp
    void DoEffect(bool apply);
    static int16_t ProgressCallback(int16_t percent, void* user);
    static int16_t WarpCallback(uintptr_t dib, void* user);

    // TEffectFormOperations.cpp
    // Runs the page's operation on target (which it may replace or change
    // in place); answers a new block, or 0 with changedInPlace saying
    // whether target now holds the result.
    HGLOBAL RunOperation(const QString& page, HGLOBAL& target, const DllSP96::Area& area,
                         bool apply, bool& changedInPlace);

    // TEffectFormSettings.cpp
    void WriteDefaultsIfMissing();
    void LoadSettings();
    void SaveSettings();

    // TEffectFormPalette.cpp
    void PaintPaletteBox(QWidget* box);
    void PaletteBoxClicked(QPoint at);
    void PickPreviewColour(QPoint at);
    void SetupPalettePage(bool onPage);

    // TEffectFormPaste.cpp
    void FillFolder(const QString& folder);
    void FileChosen(const QString& name);
    void SetPasteSource(HGLOBAL dib);
    void PollClipboard();

    PVDibCls::PVTDib FWork;
    int FWorkWidth = 1, FWorkHeight = 1, FWorkBits = 24;
    HGLOBAL FPristine = 0;
    HGLOBAL FPasteSource = 0;
    QString FFolder;
    QString FLastPage;
    bool FStop = false;
    QElapsedTimer FLastPump; // the progress callback's last repaint
    bool FPending = false;
    bool FRunning = false;
    bool FPasteMode = false;
    bool FPaletteEdited = false;
    bool FShown = false;
    bool FPaletteOnPage = false;
    bool FPaletteIndexLoading = false; // bars set from an entry do not write it back
    int FPaletteIndex = 0;
    int FCellWidth = 1, FCellHeight = 1;
    QButtonGroup* FTransitionGroup = nullptr;
};

// Makes TPMultiImage::ShowEffectsDialog run this dialog. The still-image
// component sits below the dialogs' layer, so the program (and every caller
// of ShowEffectsDialog) installs it; installing again changes nothing.
void InstallEffectsDialog();
