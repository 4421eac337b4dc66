#pragma once
// The program's file-open dialog: Qt's own (non-native) open dialog with a
// preview column on the right. While the user moves through the file list
// the column shows the selected picture scaled to fit, or page by page a
// multi-page TIFF file; a progress bar under it follows the loading, with
// the "P" toggle beside it switching the preview on and off.
//
// A video shows its first frame with a small player bar (Play, Pause,
// Stop) above it; the codec is not asked about video files.
//
// A preview load lets pending events run through its progress reports, so
// a new selection can arrive while the previous file still loads. It then
// only asks the running load to stop and leaves its file waiting; when the
// running load has returned, the waiting file is shown. No load ever runs
// inside another.
#include "imaging/still/PVDocumentImage.h"

#include <QFileDialog>
#include <cstdint>
#include <functional>
#include <string>

class QFrame;
class QLabel;
class QProgressBar;
class QToolButton;
class TMIMediaPlayer;
class TPMultiMedia;
class TMMOpenDialog;

// Asked before each preview; false suppresses the preview of that file.
using TOnMMFileName = std::function<bool(TMMOpenDialog* sender, const std::string& fileName)>;

class TMMOpenDialog : public QFileDialog {
    Q_OBJECT
  public:
    explicit TMMOpenDialog(QWidget* parent = nullptr);
    ~TMMOpenDialog() override;

    // Filters in the form "Name|*.A;*.B|Name|*.C" (a trailing "|" allowed);
    // the first one is chosen. The constructor sets every supported format.
    void SetFilter(const std::string& filter);
    const std::string& Filter() const { return FFilter; }
    // Shows the dialog modally; true when the user chose a file.
    bool Execute();
    // The file chosen by the last Execute that answered true.
    const std::string& FileName() const { return FFileName; }

    // Initial state of the preview toggle each time the dialog shows.
    bool DoPreview = true;
    QString PreviewBtnHint = "Enable/Disable preview of selected file";
    // The page buttons' hints. Prior and last carry "Hint" in their names
    // because TiffPrior and TiffLast name the buttons themselves.
    QString TiffFirstHint = "First Tif Page";
    QString TiffNextHint = "Next Tif Page";
    QString TiffPriorHint = "Prior Tif Page";
    QString TiffLastHint = "Last Tif Page";
    // Zero-based page last shown in the TIFF preview.
    int16_t TiffSelectedPage = 0;
    TOnMMFileName OnMMFileName;

    // The preview of a file, as a selection change runs it.
    void DoSelectionChange(const QString& fileName);
    // The progress handler of both viewers.
    void PreviewProgress(int percent, bool& cancel);
    // A preview load is under way (progress between 1 and 97).
    bool LoadInProgress() const { return FLoadInProgress; }

    // The preview column and its controls.
    QWidget* PreviewColumn = nullptr;
    QFrame* TrackerPanel = nullptr;
    QFrame* TifTrackPanel = nullptr;
    QToolButton* TiffFirst = nullptr;
    QToolButton* TiffPrior = nullptr;
    QToolButton* TiffNext = nullptr;
    QToolButton* TiffLast = nullptr;
    QLabel* PageLabel = nullptr;
    QFrame* PicturePanel = nullptr;
    QFrame* PaintPanel = nullptr;
    PVDocumentImage* DocumentImage = nullptr;
    TMIMediaPlayer* MediaPlayer = nullptr;
    TPMultiMedia* TMultiMedia = nullptr;
    QFrame* ProgressPanel = nullptr;
    QProgressBar* ProgressBar = nullptr;
    QToolButton* PreviewBtn = nullptr;

    // Width of the preview column.
    static constexpr int PreviewWidth = 178;

  public slots:
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void CreatePreview();
    void LayoutPreview();
    void PreviewBtnClick(bool down);
    void ClearPreview();
    void ShowPreview(const QString& fileName);
    void ShowTiffPage(const std::string& fileName, int16_t page);
    void FitPage(int32_t width, int32_t height);
    void PageButtonClick(bool (PVDocumentImage::*move)());
    void PageInfo(int32_t width, int32_t height, int16_t page, int16_t count);

    std::string FFilter;
    std::string FFileName;
    bool FCancel = false;
    bool FLoadInProgress = false;
    // A preview is running (anywhere down the call stack).
    bool FPreviewRunning = false;
    // The file selected while a preview ran, shown when it has returned.
    QString FWaitingFile;
    bool FHasWaitingFile = false;
    int32_t FPageWidth = 0;
    int32_t FPageHeight = 0;
    int16_t FPageCount = 0;
};
