// The frame list, the panels that show and change the current record, the
// preview of its picture, the palette grid and the order of the frames.
#include "app/SharedForms.h"
#include "editor/EditorParts.h"
#include "editor/TGifEdit.h"
#include "editor/TPaintBox.h"
#include "editor/commands/TChangeRecorder.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "imaging/animated/PVAnimationModel.h"
#include "imaging/common/ColorRef.h"
#include "imaging/common/DibImage.h"
#include "manipulation/TStretchHandle.h"
#include "platform/Gdi.h"
#include "platform/GlobalBlock.h"
#include "platform/ScopeGuards.h"

#include <QAction>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

using namespace editorparts;

namespace {

// Pictures of up to 256 colours are shown through their colour table, so
// that a palette entry being composed shows at once without a rebuild.
QImage PreviewOf(const BITMAPINFOHEADER* dib) {
    const auto layout = dib ? dibimage::ReadLayout(dib, dibimage::BytesFrom(dib)) : std::nullopt;
    if (!layout) return {};
    if (layout->bits > 8) return dibimage::ToImage(dib);
    QImage image(layout->width, layout->height, QImage::Format_Indexed8);
    if (image.isNull()) return {};
    image.setColorTable(QList<QRgb>(layout->table, layout->table + (1 << layout->bits)));
    for (int y = 0; y < layout->height; ++y) {
        const uint8_t* in = layout->row(y);
        uchar* out = image.scanLine(y);
        for (int x = 0; x < layout->width; ++x) {
            switch (layout->bits) {
            case 8:
                out[x] = in[x];
                break;
            case 4:
                out[x] = (in[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F;
                break;
            default:
                out[x] = (in[x / 8] >> (7 - x % 8)) & 1;
                break;
            }
        }
    }
    return image;
}

} // namespace

void TGifEdit::RefreshPreview() {
    FPreview = PreviewOf(FWorkDib ? FWorkDib->Dib() : nullptr);
    PlacePreview(LeftEdit->value(), TopEdit->value());
}

void TGifEdit::ShowPreviewEntry(int index, QRgb colour) {
    if (FPreview.format() != QImage::Format_Indexed8 || index >= FPreview.colorCount()) return;
    FPreview.setColor(index, colour);
    PaintBox1->update();
}

void TGifEdit::SetPanelColor(QWidget* panel, COLORREF colour) {
    QPalette palette = panel->palette();
    const QColor shown = ToQColor(ColorToRGB(colour));
    palette.setColor(QPalette::Window, shown);
    palette.setColor(QPalette::WindowText, shown.lightness() < 128 ? Qt::white : Qt::black);
    panel->setPalette(palette);
}

void TGifEdit::SetFrameControlsEnabled(bool value) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{LeftEdit,         TopEdit,      InterlacedBox,
                                         DelaySpin,        Dispos,       trbRed,
                                         trbGreen,         trbBlue,      ScreenWidthEdit,
                                         ScreenHeightEdit, NetLoopsSpin, pnlColor,
                                         pbPalette,        Panel6,       ToggleComments,
                                         SetWindowColor,   Panel5,       DeleteSelectedframes,
                                         SelectAll,        MoveDown,     MoveUp,
                                         Resize_Image,     CropImage,    RotateFrame,
                                         ClipCopy,         ApplyFrms,    HasTransparency,
                                         TextOnImage,      OptPalettes,  Usesitsownpalette,
                                         PlayGif,          Manipul})
        w->setEnabled(value && Available(w));
    // The edit menu itself stays open for undo and redo.
    for (QAction* a : {Save1, Paste1, Copy1, Cut1, Play1, Comments1})
        a->setEnabled(value && Available(a));
    if (value) UpdateMoveButtons();
}

void TGifEdit::ShowFrameEditing(bool on) {
    SetFrameControlsEnabled(on);
    for (QWidget* w : std::initializer_list<QWidget*>{
             Load_Image, SaveBtn, ClipCopy, ClipPaste, SelectSourceBtn, ScanImagesBtn,
             MakeGifsequencefromavideo, MakeGifsequencefromaLivevideoClick})
        w->setEnabled(on && Available(w));
    for (QAction* a : {Open1, New1, SelectTwainSource1, AcquireImage1, InsertFramesfromAVI1,
                       InsertFramesfromLiveVideo1})
        a->setEnabled(on && Available(a));
    for (QWidget* w : std::initializer_list<QWidget*>{
             ImageInfo, FrameInfo, PaletteInfo, DeleteSelectedframes, SelectAll, MoveDown, MoveUp})
        w->setVisible(on);
    if (!on) {
        TextLabel->hide();
        FStretchHandle->Detach();
    }
}

void TGifEdit::ShowScreenValues() {
    if (!FFrameList || FFrameList->empty()) return;
    const zp::ScopedFlag loading(FLoadingControls);
    const TMyGifAnimation* first = FFrameList->front();
    ScreenWidthEdit->setValue(first->ScreenWidth);
    ScreenHeightEdit->setValue(first->ScreenHeight);
    FPanel5Color = first->BackgroundColor;
    SetPanelColor(Panel5, FPanel5Color);
}

void TGifEdit::ShowFrameCount() {
    Frames->setText(QString::number(FFrameList ? FFrameList->size() : 0));
}

void TGifEdit::LoadFrameIntoPanels() {
    if (Timer1->isActive() || !FFrameList) return;
    const int index = GifNameBox->currentRow();
    if (index < 0 || size_t(index) >= FFrameList->size()) return;
    {
        const PaintingOff painting;
        const zp::ScopedFlag loading(FLoadingControls);
        FPaletteIndex = 0;
        SetFrameControlsEnabled(true);
        ShowScreenValues();

        FCurrentFrame = (*FFrameList)[size_t(index)];
        FWorkDib = WorkCopy(FCurrentFrame->DibHandle);
        FPreview = PreviewOf(FWorkDib->Dib());

        LeftEdit->setValue(FCurrentFrame->Left);
        TopEdit->setValue(FCurrentFrame->Top);
        StatusPanels[0]->setText(
            QString("W:%1 * H:%2").arg(FWorkDib->Width()).arg(FWorkDib->Height()));
        DelaySpin->setValue(FCurrentFrame->Delay);
        NetLoopsSpin->setValue(FCurrentFrame->Loops);
        // A restoring frame (3) has no item; the combo shows none rather
        // than the previous frame's choice.
        Dispos->setCurrentIndex(ItemOfDisposal(FCurrentFrame->Disposal));
        HasTransparency->setChecked(FCurrentFrame->HasTransparency == 1);
        InterlacedBox->setChecked(FCurrentFrame->Interlaced == 1);
        TransLabel->setVisible(HasTransparency->isChecked());
        Panel6->setVisible(HasTransparency->isChecked());
        if (FCurrentFrame->HasTransparency == 1) {
            FPaletteIndex = FCurrentFrame->TransparentIndex;
            PALETTEENTRY entry{};
            GetPaletteEntries(FWorkDib->GetPalette(), FPaletteIndex, 1, &entry);
            Panel6->setText(QString::number(FCurrentFrame->TransparentIndex + 1));
            SetPanelColor(Panel6, RGB(entry.peRed, entry.peGreen, entry.peBlue));
        } else {
            SetPanelColor(Panel6, GetSysColor(COLOR_BTNFACE));
            Panel6->setText("");
        }
        Usesitsownpalette->setChecked(FCurrentFrame->UseLocalPalette == 1);
        pbPalette->update();
        PlacePreview(LeftEdit->value(), TopEdit->value());
        TextLabel->hide();
        FStretchHandle->Detach();
    }
    PaintBox1->update();
}

void TGifEdit::UpdateMoveButtons() {
    MoveUp->setEnabled(false);
    MoveDown->setEnabled(false);
    if (Timer1->isActive() || GifNameBox->selectedItems().size() != 1) return;
    const int caret = GifNameBox->currentRow();
    MoveUp->setEnabled(caret > 0);
    MoveDown->setEnabled(caret >= 0 && caret < GifNameBox->count() - 1);
}

// The paint box lies where the frame lies on the screen, as large as its
// picture; the scroll box's content grows to take it in.
void TGifEdit::PlacePreview(int left, int top) {
    const QSize size = FPreview.isNull() ? QSize(1, 1) : FPreview.size();
    PaintBox1->setGeometry(left, top, size.width(), size.height());
    const QPoint end = PaintBox1->geometry().bottomRight() + QPoint(1, 1);
    PreviewHolder->resize(end.x(), end.y());
    PaintBox1->update();
}

void TGifEdit::PaintPreview(QPainter& painter) {
    if (!PaintingEnabled || FPreview.isNull()) return;
    painter.drawImage(0, 0, FPreview);
}

// The bars move as one step (like a grid pick), after the entry is chosen,
// so that no other entry shows their colours on the way.
void TGifEdit::PreviewMouseDown(QPoint at) {
    if (FPreview.isNull() || !FPreview.rect().contains(at)) return;
    const QRgb pixel = FPreview.pixel(at);
    {
        const PaintingOff painting;
        RestoreAnimatedEntry();
        if (HPALETTE palette = FWorkDib->GetPalette()) {
            const uint32_t nearest =
                GetNearestPaletteIndex(palette, RGB(qRed(pixel), qGreen(pixel), qBlue(pixel)));
            if (nearest != CLR_INVALID) FPaletteIndex = uint8_t(nearest);
        }
        const zp::ScopedFlag syncing(FSyncingTrackBars);
        trbRed->setValue(qRed(pixel));
        trbGreen->setValue(qGreen(pixel));
        trbBlue->setValue(qBlue(pixel));
    }
    ColorChanged();
}

void TGifEdit::LeftEditChange(int value) {
    if (FLoadingControls || !FCurrentFrame) return;
    const auto change = Change(TChangeKind::FrameProperties, "Change Left", {}, ufLeft);
    FCurrentFrame->Left = int16_t(value);
    PlacePreview(value, PaintBox1->y());
    FramesChanged();
}

// A frame moved below the screen's bottom makes the screen taller; moving
// it right never widens the screen.
void TGifEdit::TopEditChange(int value) {
    if (FLoadingControls || !FCurrentFrame) return;
    const auto change = Change(TChangeKind::FrameProperties, "Change Top", {}, ufTop);
    FCurrentFrame->Top = int16_t(value);
    PlacePreview(PaintBox1->x(), value);
    const int bottom = value + FCurrentFrame->Height;
    if (ScreenHeightEdit->value() < bottom)
        ScreenHeightEdit->setValue(std::min(bottom, ScreenHeightEdit->maximum()));
    PaintBox1->update();
    FramesChanged();
}

void TGifEdit::ScreenSizeChange() {
    if (FLoadingControls || !FFrameList || FFrameList->empty()) return;
    const auto change = Change(TChangeKind::FrameProperties, "Change screen size", {}, ufScreen);
    FFrameList->front()->ScreenWidth = uint16_t(ScreenWidthEdit->value());
    FFrameList->front()->ScreenHeight = uint16_t(ScreenHeightEdit->value());
    FramesChanged();
}

void TGifEdit::DisposChange(int index) {
    if (!FCurrentFrame || index < 0 || index > 3) return;
    const auto change = Change(TChangeKind::FrameProperties, "Change disposal", {}, ufDisposal);
    FCurrentFrame->Disposal = kDisposalOfItem[index];
    FramesChanged();
}

void TGifEdit::HasTransparencyClick(bool ticked) {
    TransLabel->setVisible(ticked);
    Panel6->setVisible(ticked);
    if (!FCurrentFrame) return;
    const auto change =
        Change(TChangeKind::FrameProperties, "Change transparency", {}, ufTransparency);
    FCurrentFrame->HasTransparency = ticked ? 1 : 0;
    FramesChanged();
}

void TGifEdit::Panel6MouseDown() {
    if (!FCurrentFrame) return;
    const auto change =
        Change(TChangeKind::FrameProperties, "Change transparent colour", {}, ufTransparentIndex);
    FCurrentFrame->TransparentIndex = FPaletteIndex;
    Panel6->setText(QString::number(FCurrentFrame->TransparentIndex + 1));
    SetPanelColor(Panel6, FCurrentFrame->HasTransparency
                              ? RGB(trbRed->value(), trbGreen->value(), trbBlue->value())
                              : GetSysColor(COLOR_BTNFACE));
    FramesChanged();
}

// Left: the colour dialog. Any other button: the window colour, stored as
// the reference to it so that it follows the system's colours.
void TGifEdit::Panel5MouseDown(Qt::MouseButton button) {
    if (FLoadingControls || !FFrameList || FFrameList->empty()) return;
    COLORREF chosen = clBtnFace;
    if (button == Qt::LeftButton) {
        QColorDialog dialog(ToQColor(ColorToRGB(FPanel5Color)), this);
        dialog.setOption(QColorDialog::DontUseNativeDialog);
        if (dialog.exec() != QDialog::Accepted) return;
        const QColor c = dialog.selectedColor();
        chosen = RGB(c.red(), c.green(), c.blue());
    }
    const auto change =
        Change(TChangeKind::FrameProperties, "Change background colour", {}, ufBackground);
    FPanel5Color = chosen;
    SetPanelColor(Panel5, chosen);
    FFrameList->front()->BackgroundColor = chosen;
}

void TGifEdit::ShowNoFrame() {
    SetFrameControlsEnabled(false);
    FCurrentFrame = nullptr;
    FWorkDib = std::make_unique<PVWebImg::PVTDib>();
    FPreview = QImage();
    PlacePreview(0, 0);
}

void TGifEdit::FramesChanged() {
    if (OnFramesChanged) OnFramesChanged();
}

void TGifEdit::SelectAllClick() {
    GifNameBox->selectAll();
    UpdateMoveButtons();
}

void TGifEdit::MoveUpClick() {
    MoveCaretFrame(-1);
}

void TGifEdit::MoveDownClick() {
    MoveCaretFrame(1);
}

// Swaps the caret frame with its neighbour; the first record then written
// keeps the screen size the editor shows.
void TGifEdit::MoveCaretFrame(int step) {
    const int caret = GifNameBox->currentRow();
    const int other = caret + step;
    if (!FFrameList || caret < 0 || other < 0 || size_t(caret) >= FFrameList->size() ||
        size_t(other) >= FFrameList->size())
        return;
    const int width = ScreenWidthEdit->value(), height = ScreenHeightEdit->value();
    {
        const auto change = Change(TChangeKind::MoveFrames, "Move frame");
        const PaintingOff painting;
        std::swap((*FFrameList)[size_t(caret)], (*FFrameList)[size_t(other)]);
        QListWidgetItem* item = GifNameBox->takeItem(caret);
        GifNameBox->insertItem(other, item);
        GifNameBox->clearSelection();
        GifNameBox->setCurrentRow(other);
        FFrameList->front()->ScreenWidth = uint16_t(width);
        FFrameList->front()->ScreenHeight = uint16_t(height);
    }
    UpdateMoveButtons();
    FramesChanged();
}

// The removed records go to the undo step, which frees them when it ends;
// the current frame is dropped with them, so no later change reaches one.
void TGifEdit::DeleteSelectedframesClick() {
    if (!FFrameList || GifNameBox->selectedItems().isEmpty() || Timer1->isActive()) return;
    const int width = ScreenWidthEdit->value(), height = ScreenHeightEdit->value();
    if (!ConfirmYes("Are you sure you want to delete this/these frame(s) ?")) return;
    int firstRemoved = -1;
    {
        auto change = Change(TChangeKind::RemoveFrames, "Delete frames");
        int removed = 0;
        const PaintingOff painting;
        for (int i = GifNameBox->count() - 1; i >= 0; --i) {
            if (!GifNameBox->item(i)->isSelected() || size_t(i) >= FFrameList->size()) continue;
            TMyGifAnimation* record = (*FFrameList)[size_t(i)];
            if (record == FCurrentFrame) FCurrentFrame = nullptr;
            FFrameList->erase(FFrameList->begin() + i);
            firstRemoved = i;
            ++removed;
        }
        change.SetText(removed == 1 ? QString("Delete frame")
                                    : QString("Delete %1 frames").arg(removed));
        // The display showing these records must not keep a removed one.
        FramesChanged();
        RefillNames();
        if (FFrameList->empty()) {
            ShowNoFrame();
        } else {
            FFrameList->front()->ScreenWidth = uint16_t(width);
            FFrameList->front()->ScreenHeight = uint16_t(height);
        }
        ShowFrameCount();
    }
    if (!FFrameList->empty()) {
        // The entry now in the first removed place becomes the current frame.
        GifNameBox->setCurrentRow(std::min(firstRemoved, GifNameBox->count() - 1));
        LoadFrameIntoPanels();
    }
    PaintBox1->update();
}
