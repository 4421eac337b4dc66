// Playback in the editor: a temporary component borrows the records and
// plays them in place of the preview; the editor's timer steps it and the
// frame list follows the frame on display.
#include "editor/TGifEdit.h"
#include "editor/TPaintBox.h"
#include "imaging/animated/PVWebImage.h"

#include <QAction>
#include <QGroupBox>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

bool TGifEdit::Playing() const {
    return Timer1->isActive();
}

void TGifEdit::PlayGifClick(bool fromMenu) {
    if (fromMenu) PlayGif->setChecked(!PlayGif->isChecked());
    if (FTempImage) {
        FreeTempImage(); // the records stay as they are: the component only borrowed them
    } else if (PlayGif->isChecked() && FFrameList && !FFrameList->empty()) {
        PVWebImage* player = MakeTempImage(true);
        for (TMyGifAnimation* record : *FFrameList)
            player->Frames()->push_back(record);
        player->Play();
        player->ShowFrame(0);
    } else {
        PlayGif->setChecked(false);
    }
    ShowPlayState(PlayGif->isChecked());
}

void TGifEdit::ShowPlayState(bool playing) {
    PaintBox1->setVisible(!playing);
    PaintBox1->setEnabled(!playing);
    GifNameBox->setEnabled(!playing);
    ShowFrameEditing(!playing);
    Play1->setChecked(playing);
    Play1->setEnabled(true);
    PlayGif->setEnabled(true);
    if (playing) {
        FPlayHighlight = -1;
        FSelectionBeforePlay.clear();
        for (int i = 0; i < GifNameBox->count(); ++i)
            if (GifNameBox->item(i)->isSelected()) FSelectionBeforePlay << i;
        FCaretBeforePlay = GifNameBox->currentRow();
        Timer1->start();
    } else {
        Timer1->stop();
        // The highlight was playback's; the selection is the user's again.
        GifNameBox->clearSelection();
        if (FCaretBeforePlay >= 0 && FCaretBeforePlay < GifNameBox->count())
            GifNameBox->setCurrentRow(FCaretBeforePlay, QItemSelectionModel::NoUpdate);
        for (int i : FSelectionBeforePlay)
            if (i < GifNameBox->count()) GifNameBox->item(i)->setSelected(true);
        UpdateMoveButtons();
        PlacePreview(PaintBox1->x(), PaintBox1->y());
    }
}

// The entry of the frame on display is selected and the one selected for
// the frame before is unselected, so the list shows where playback is.
void TGifEdit::Timer1Timer() {
    if (!FTempImage) return;
    FTempImage->StepFrame();
    // The player sizes itself to the animation's screen; the scroll box's
    // content follows so that all of it can be seen.
    const QSize need = FTempImage->geometry().bottomRight().x() + 1 > PreviewHolder->width() ||
                               FTempImage->geometry().bottom() + 1 > PreviewHolder->height()
                           ? PreviewHolder->size().expandedTo(FTempImage->geometry().size())
                           : QSize();
    if (need.isValid()) PreviewHolder->resize(need);
    const int shown = FTempImage->DisplayedFrame;
    if (shown == FPlayHighlight || shown < 0 || shown >= GifNameBox->count()) return;
    if (FPlayHighlight >= 0 && FPlayHighlight < GifNameBox->count())
        GifNameBox->item(FPlayHighlight)->setSelected(false);
    GifNameBox->item(shown)->setSelected(true);
    GifNameBox->scrollToItem(GifNameBox->item(shown));
    FPlayHighlight = shown;
}
