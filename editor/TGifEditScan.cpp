// Frames from a scanner or camera: the source choice, one image (a new
// frame or the current one replaced), and the batches of the scanning and
// camera windows, whose records become the animation's.
#include "app/ModalResult.h"
#include "app/SharedForms.h"
#include "app/TStatusForm.h"
#include "bindings/CodecBinding.h"
#include "capture/TDigCamForm.h"
#include "capture/TScanOptions.h"
#include "capture/TTwainForm.h"
#include "capture/TTwainMan.h"
#include "editor/EditorParts.h"
#include "editor/TGifEdit.h"
#include "editor/TPaintBox.h"
#include "editor/commands/TChangeRecorder.h"
#include "platform/GlobalBlock.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

namespace {

HWNDLIKE WindowOf(QWidget* w) {
    return reinterpret_cast<HWNDLIKE>(w);
}

} // namespace

void TGifEdit::ConnectScanning() {
    connect(SelectSourceBtn, &QToolButton::clicked, this, &TGifEdit::SelectSourceBtnClick);
    connect(SelectTwainSource1, &QAction::triggered, this, &TGifEdit::SelectSourceBtnClick);
    connect(ScanImagesBtn, &QToolButton::clicked, this, &TGifEdit::ScanImagesBtnClick);
    connect(AcquireImage1, &QAction::triggered, this, &TGifEdit::ScanImagesBtnClick);
}

void TGifEdit::SelectSourceBtnClick() {
    if (Timer1->isActive()) return;
    DLL96V1::selectsource(WindowOf(this));
}

void TGifEdit::ScanImagesBtnClick() {
    if (!FFrameList || Timer1->isActive()) return;
    TTwainMan chooser(this);
    if (chooser.exec() != mrOk) return;
    if (chooser.iSingle->isChecked()) {
        AcquireSingleImage();
        return;
    }
    TAcquireForm* window = nullptr;
    if (chooser.iMultiScan->isChecked()) {
        if (!FTwainForm) FTwainForm = new TTwainForm(this);
        window = FTwainForm;
    } else {
        if (!FDigCamForm) FDigCamForm = new TDigCamForm(this);
        window = FDigCamForm;
    }
    TFrameList buffer;
    window->FFrameList = &buffer;
    const bool accepted = window->exec() == mrOk;
    window->FFrameList = nullptr;
    if (accepted) AppendAcquiredFrames(buffer);
}

void TGifEdit::AppendAcquiredFrames(const TFrameList& records) {
    if (StatusForm) StatusForm->ShowStatus("");
    {
        const editorparts::PaintingOff painting;
        const auto change = Change(TChangeKind::InsertFrames,
                                   records.size() == 1 ? "Scanned frame" : "Scanned frames");
        for (size_t i = 0; i < records.size(); ++i) {
            SetProgressText("Adding frame " + QString::number(i + 1));
            QApplication::processEvents();
            FFrameList->push_back(records[i]);
            GifNameBox->addItem(QString::fromStdString(records[i]->Name));
        }
    }
    StatusPanels[2]->clear();
    AddingEnded(true);
    if (StatusForm) StatusForm->HideStatus();
}

void TGifEdit::AcquireSingleImage() {
    int bits = 8;
    bool ownPalette = true, newFrame = true;
    {
        const editorparts::PaintingOff painting;
        TScanOptions options(this);
        options.SetFramesExist(!FFrameList->empty());
        if (options.exec() != mrOk) return;
        bits = options.r256->isChecked() ? 8 : 4;
        ownPalette = options.NewPalette->isChecked();
        newFrame = options.NewFrame->isChecked();
    }
    const int caret = GifNameBox->currentRow();
    // Replacing needs a current frame; without one the image is appended.
    if (caret < 0 || size_t(caret) >= FFrameList->size()) newFrame = true;
    const HPALETTE palette =
        !ownPalette && FWorkDib && FWorkDib->Dib() ? FWorkDib->GetPalette() : 0;
    HGLOBAL scanned = 0;
    if (!DLL96V1::aquiredibimage(WindowOf(this), bits, false, palette, scanned, nullptr, nullptr) ||
        !scanned)
        return;
    zp::GlobalBlock block(scanned);
    {
        const editorparts::PaintingOff painting;
        auto work = editorparts::WorkCopy(block.get());
        if (!work->Dib()) return;
        FWorkDib = std::move(work);
        if (newFrame) {
            const auto change = Change(TChangeKind::InsertFrames, "Scanner frame");
            TMyGifAnimation* record = AppendWorkDibFrame("Scanner frame", block.release());
            record->UseLocalPalette = 1;
            record->LocalColors = bits == 8 ? 255 : 16;
            record->Disposal = 3;
        } else {
            const auto change = Change(TChangeKind::Pictures, "Replace by scanner frame",
                                       {(*FFrameList)[size_t(caret)]});
            ReplaceFrameWithWorkDib(caret, "Replaced by scanner frame");
        }
    }
    ShowAddedPicture();
    PaintBox1->update();
}
