// Adding frames from a video file and from live video: the capture window
// builds the records; on OK they are appended to the frame list.
#include "app/ModalResult.h"
#include "app/SharedForms.h"
#include "app/TStatusForm.h"
#include "capture/TLiveVideoToGif.h"
#include "capture/TVideoToGif.h"
#include "editor/TGifEdit.h"
#include "editor/commands/TChangeRecorder.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QToolButton>

void TGifEdit::ConnectVideoCommands() {
    connect(MakeGifsequencefromavideo, &QToolButton::clicked, this,
            &TGifEdit::MakeGifsequencefromavideoClick);
    connect(InsertFramesfromAVI1, &QAction::triggered, this,
            &TGifEdit::MakeGifsequencefromavideoClick);
    connect(MakeGifsequencefromaLivevideoClick, &QToolButton::clicked, this,
            &TGifEdit::InsertFramesfromLiveVideoClick);
    connect(InsertFramesfromLiveVideo1, &QAction::triggered, this,
            &TGifEdit::InsertFramesfromLiveVideoClick);
}

namespace {

// Shows the window modally; on OK its records are the caller's.
template <class Window> TFrameList RunCaptureWindow(QWidget* owner) {
    Window window(owner);
    if (window.exec() != mrOk) return {};
    return window.TakeFrames();
}

} // namespace

void TGifEdit::MakeGifsequencefromavideoClick() {
    if (!FFrameList || Timer1->isActive()) return;
    AppendCapturedFrames(RunCaptureWindow<TVideoToGif>(this));
}

void TGifEdit::InsertFramesfromLiveVideoClick() {
    if (!FFrameList || Timer1->isActive()) return;
    AppendCapturedFrames(RunCaptureWindow<TLiveVideoToGif>(this));
}

void TGifEdit::AppendCapturedFrames(const TFrameList& records) {
    if (!records.empty()) {
        // One undo step for the whole insertion.
        const auto change = Change(TChangeKind::InsertFrames, "Insert captured frames");
        if (!StatusForm) CreateSharedForms();
        for (size_t i = 0; i < records.size(); ++i) {
            const QString text = QString("Adding frame %1").arg(i + 1);
            if (i == 0 && StatusForm)
                StatusForm->ShowStatus(text);
            else
                SetProgressText(text);
            StatusPanels[2]->setText(text);
            QCoreApplication::processEvents();
            FFrameList->push_back(records[i]);
            GifNameBox->addItem(QString::fromStdString(records[i]->Name));
        }
    }
    AddingEnded(true);
    if (StatusForm) StatusForm->HideStatus();
}
