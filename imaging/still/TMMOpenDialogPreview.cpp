// The open dialog's previews: the selected picture, TIFF pages, progress
// and the preview toggle.
#include "imaging/common/TextCase.h"
#include "imaging/still/TMMOpenDialog.h"

#include "bindings/CodecBinding.h"
#include "imaging/common/WaitCursor.h"
#include "imaging/still/TMIMediaPlayer.h"
#include "imaging/still/TPMultiMedia.h"
#include "platform/ScopeGuards.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>
#include <cctype>
#include <exception>
#include <optional>

namespace {

// Video files go to the media player as they are; the codec is not asked.
bool IsVideo(const QString& suffix) {
    return TPMultiMedia::IsMediaExtension((QString(".") + suffix.toUpper()).toStdString());
}

// The codec's name for the file's format. The codec reads no TIFF; the
// TIFF library says whether a file it does not know is one.
std::string FormatOfFile(const std::string& file) {
    DLL96V1::FileInformation info;
    if (DLL96V1::fileinfo(file, info)) return info.format;
    DLL96V1::TiffInformation tiff;
    if (DLL96V1::getinfo(file, 0, tiff)) return "TIFF";
    return {};
}

} // namespace

void TMMOpenDialog::DoSelectionChange(const QString& fileName) {
    if (!PreviewBtn->isChecked()) return;
    if (FPreviewRunning) {
        // The running load sees Cancel at its next report and returns; this
        // file is shown then.
        FCancel = true;
        FWaitingFile = fileName;
        FHasWaitingFile = true;
        return;
    }
    {
        const zp::ScopedFlag running(FPreviewRunning);
        ShowPreview(fileName);
    }
    // The toggle went up while the load ran: what it loaded goes.
    if (!PreviewBtn->isChecked()) {
        FHasWaitingFile = false;
        ClearPreview();
    }
    if (FHasWaitingFile) {
        FHasWaitingFile = false;
        DoSelectionChange(FWaitingFile);
    }
}

void TMMOpenDialog::ShowPreview(const QString& fileName) {
    const QFileInfo info(fileName);
    bool readable = info.isFile() && info.isReadable();
    const std::string file = QFile::encodeName(fileName).toStdString();
    if (OnMMFileName && !OnMMFileName(this, file)) return;
    if (readable) {
        FLoadInProgress = false;
        try {
            const bool video = IsVideo(info.suffix());
            std::string type;
            std::optional<WaitCursor> hourglass;
            if (!video) {
                type = FormatOfFile(file);
                hourglass.emplace();
            }
            type = Upper(type);
            if (type == "TIFF") {
                TifTrackPanel->show();
                MediaPlayer->hide();
                MediaPlayer->Close();
                FCancel = false;
                DocumentImage->show();
                TMultiMedia->hide();
                TMultiMedia->SetMediaName("");
                ShowTiffPage(file, 0);
            } else {
                TifTrackPanel->hide();
                FCancel = false;
                DocumentImage->hide();
                DocumentImage->Clear();
                TMultiMedia->show();
                // A video opens in the player without playing; a picture
                // hides the player.
                TMultiMedia->SetMediaName(file);
            }
        } catch (const std::exception&) {
            TMultiMedia->SetMediaName("");
            readable = false;
        }
    }
    if (!readable) TMultiMedia->SetMediaName("");
}

void TMMOpenDialog::ShowTiffPage(const std::string& fileName, int16_t page) {
    DLL96V1::TiffInformation info;
    DocumentImage->Clear();
    if (!DLL96V1::getinfo(fileName, page, info)) return;
    FitPage(info.width, info.height);
    DocumentImage->LoadPage(fileName, page);
}

// Wide pages fit the viewer's width, the others its height.
void TMMOpenDialog::FitPage(int32_t width, int32_t height) {
    if (width < 1 || height < 1) return;
    DocumentImage->SetZoom(width > height ? DocumentImage->width() * 100 / width
                                          : DocumentImage->height() * 100 / height);
}

void TMMOpenDialog::PageButtonClick(bool (PVDocumentImage::*move)()) {
    // Pages are loaded one at a time; a click during a load is dropped.
    if (FPreviewRunning) return;
    {
        const zp::ScopedFlag running(FPreviewRunning);
        FCancel = false;
        if ((DocumentImage->*move)())
            FitPage(DocumentImage->PageWidth(), DocumentImage->PageHeight());
    }
    if (FHasWaitingFile) {
        FHasWaitingFile = false;
        DoSelectionChange(FWaitingFile);
    }
}

void TMMOpenDialog::PageInfo(int32_t width, int32_t height, int16_t page, int16_t count) {
    FPageWidth = width;
    FPageHeight = height;
    FPageCount = count;
    const bool several = count >= 2;
    TiffFirst->setEnabled(several && page > 0);
    TiffPrior->setEnabled(several && page > 0);
    TiffNext->setEnabled(several && page + 1 < count);
    TiffLast->setEnabled(several && page + 1 < count);
    PageLabel->setText(QString("P %1 of %2").arg(page + 1).arg(count));
    PageLabel->adjustSize();
    TiffSelectedPage = page;
}

void TMMOpenDialog::PreviewProgress(int percent, bool& cancel) {
    cancel = FCancel;
    if (cancel) return;
    QCoreApplication::processEvents();
    if (ProgressBar->value() != percent) ProgressBar->setValue(percent);
    FLoadInProgress = percent >= 1 && percent <= 97;
    // A selection made meanwhile stops this load now, not at the next report.
    cancel = FCancel;
}

void TMMOpenDialog::PreviewBtnClick(bool down) {
    if (down) {
        const QStringList files = selectedFiles();
        if (!files.isEmpty()) DoSelectionChange(files.first());
        return;
    }
    if (FPreviewRunning) {
        // Cleared once the running load has returned.
        FCancel = true;
        FHasWaitingFile = false;
        return;
    }
    ClearPreview();
}

void TMMOpenDialog::ClearPreview() {
    DocumentImage->Clear();
    TifTrackPanel->hide();
    for (QToolButton* button : {TiffFirst, TiffPrior, TiffNext, TiffLast})
        button->setEnabled(false);
    PageLabel->setText(" ");
    MediaPlayer->hide();
    TMultiMedia->SetMediaName("");
}
