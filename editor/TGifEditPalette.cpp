// The "Palette Info" box: the 16 x 16 grid of the current frame's colour
// table, composing a colour with the three bars, writing it into the
// picked entry, and the palette manager that carries the current frame's
// palette over to the selected frames. All palette work is done on the
// working picture and then copied back into the record.
#include "app/ModalResult.h"
#include "app/SharedForms.h"
#include "app/TStatusForm.h"
#include "editor/EditorParts.h"
#include "editor/TGifEdit.h"
#include "editor/TPaintBox.h"
#include "editor/TPalMan.h"
#include "editor/commands/TChangeRecorder.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "platform/Gdi.h"
#include "platform/Message.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QSlider>
#include <QStatusBar>
#include <array>

using namespace editorparts;

namespace {

// A true-colour current frame has no palette to carry over.
const char* const kNoPalette = "The current frame has no color palette; nothing was changed.";

COLORREF Composed(const QSlider* red, const QSlider* green, const QSlider* blue) {
    return RGB(red->value(), green->value(), blue->value());
}

// The reference index nearest to each colour of the frame's own table;
// indices past the table stand for black, as the grid shows them.
std::array<uint8_t, 256> NearestIndices(HPALETTE own, HPALETTE reference) {
    std::array<PALETTEENTRY, 256> colours{};
    GetPaletteEntries(own, 0, 256, colours.data());
    std::array<uint8_t, 256> nearest{};
    for (int i = 0; i < 256; ++i) {
        const uint32_t index = GetNearestPaletteIndex(
            reference, RGB(colours[i].peRed, colours[i].peGreen, colours[i].peBlue));
        nearest[i] = index == CLR_INVALID ? 0 : uint8_t(index);
    }
    return nearest;
}

// Every byte of the rows, padding included. At 4 bits each nibble is
// remapped on its own and keeps only the low 4 bits of its new index.
void Remap(PVWebImg::PVTDib& dib, const std::array<uint8_t, 256>& nearest) {
    uint8_t* bits = dib.Bits();
    const size_t stride = size_t(dib.StrideFor(dib.Width(), dib.BitCount()));
    const size_t bytes = stride * size_t(std::abs(dib.Height()));
    if (!bits) return;
    if (dib.BitCount() == 8) {
        for (size_t i = 0; i < bytes; ++i)
            bits[i] = nearest[bits[i]];
    } else {
        for (size_t i = 0; i < bytes; ++i)
            bits[i] =
                uint8_t((nearest[bits[i] >> 4] & 0x0F) << 4 | (nearest[bits[i] & 0x0F] & 0x0F));
    }
}

} // namespace

// All 256 cells, whatever the table holds; cells past it are black.
void TGifEdit::PaintPalette(QPainter& painter) {
    const PaintingOff painting;
    PALETTEENTRY entries[256] = {};
    if (FWorkDib && FWorkDib->Dib())
        if (HPALETTE palette = FWorkDib->GetPalette()) GetPaletteEntries(palette, 0, 256, entries);
    painter.setPen(Qt::black);
    for (int i = 0; i < 256; ++i) {
        painter.setBrush(QColor(entries[i].peRed, entries[i].peGreen, entries[i].peBlue));
        painter.drawRect(FCellWidth * (i % 16) + 2, FCellHeight * (i / 16) + 2, FCellWidth - 1,
                         FCellHeight - 1);
    }
}

void TGifEdit::PaletteMouseDown(QPoint at) {
    if (FCellWidth <= 0 || FCellHeight <= 0) return;
    {
        const PaintingOff painting;
        RestoreAnimatedEntry();
        FPaletteIndex = uint8_t((at.x() / FCellWidth + 16 * (at.y() / FCellHeight)) % 256);
        HPALETTE palette = FWorkDib->Dib() ? FWorkDib->GetPalette() : 0;
        PALETTEENTRY entry{};
        if (!palette || GetPaletteEntries(palette, FPaletteIndex, 1, &entry) != 1) return;
        const zp::ScopedFlag syncing(FSyncingTrackBars);
        trbRed->setValue(entry.peRed);
        trbGreen->setValue(entry.peGreen);
        trbBlue->setValue(entry.peBlue);
    }
    ColorChanged();
}

// The picked entry shows the composed colour at once (the palette is
// animated, the picture's table is not yet touched); applying it stores it.
void TGifEdit::ColorChanged() {
    {
        const PaintingOff painting;
        if (!FSyncingTrackBars) {
            ShowComposedColor();
            AnimateEntry(Composed(trbRed, trbGreen, trbBlue));
        }
    }
    if (AAPl->isChecked()) pnlColorClick();
}

void TGifEdit::ShowComposedColor() {
    lblRed->setText(QString("R: %1").arg(trbRed->value()));
    lblGreen->setText(QString("G: %1").arg(trbGreen->value()));
    lblBlue->setText(QString("B: %1").arg(trbBlue->value()));
    lblPalText->setText(QString("Color Index: (%1)").arg(FPaletteIndex));
    SetPanelColor(pnlColor, Composed(trbRed, trbGreen, trbBlue));
}

void TGifEdit::AnimateEntry(COLORREF colour) {
    if (!FWorkDib || !FWorkDib->Dib()) return;
    HPALETTE palette = FWorkDib->GetPalette();
    if (!palette) return;
    const PALETTEENTRY entry{GetRValue(colour), GetGValue(colour), GetBValue(colour), PC_RESERVED};
    if (AnimatePalette(palette, FPaletteIndex, 1, &entry)) {
        pbPalette->update();
        ShowPreviewEntry(FPaletteIndex, qRgb(entry.peRed, entry.peGreen, entry.peBlue));
    }
}

// A composed colour that was not applied leaves its entry when another one
// is picked: the entry shows its stored colour again.
void TGifEdit::RestoreAnimatedEntry() {
    if (!FWorkDib || !FWorkDib->Dib() || FPaletteIndex >= FWorkDib->ColorCount()) return;
    HPALETTE palette = FWorkDib->GetPalette();
    if (!palette) return;
    const RGBQUAD stored = FWorkDib->ColorTable()[FPaletteIndex];
    const PALETTEENTRY entry{stored.rgbRed, stored.rgbGreen, stored.rgbBlue, 0};
    if (SetPaletteEntries(palette, FPaletteIndex, 1, &entry) == 1) {
        pbPalette->update();
        ShowPreviewEntry(FPaletteIndex, qRgb(entry.peRed, entry.peGreen, entry.peBlue));
    }
}

void TGifEdit::pnlColorClick() {
    const COLORREF colour = Composed(trbRed, trbGreen, trbBlue);
    const auto change = Change(TChangeKind::Pictures, "Change palette colour", {FCurrentFrame},
                               ufPaletteEntry + FPaletteIndex);
    {
        const PaintingOff painting;
        if (FWorkDib && FWorkDib->Dib())
            if (HPALETTE palette = FWorkDib->GetPalette()) {
                const PALETTEENTRY entry{GetRValue(colour), GetGValue(colour), GetBValue(colour),
                                         0};
                if (SetPaletteEntries(palette, FPaletteIndex, 1, &entry) == 1) pbPalette->update();
            }
        if (FWorkDib && FWorkDib->Dib()) FWorkDib->SetPalette(FWorkDib->GetPalette());
        CommitWorkDib();
        RefreshPreview();
    }
    if (!FCurrentFrame) return;
    if (FPaletteIndex == FCurrentFrame->TransparentIndex && FCurrentFrame->HasTransparency == 1)
        SetPanelColor(Panel6, colour);
    FCurrentFrame->UseLocalPalette = 1;
    FCurrentFrame->LocalColors = ColourCountField(FWorkDib->Dib() ? FWorkDib->ColorCount() : 0);
    const zp::ScopedFlag loading(FLoadingControls);
    Usesitsownpalette->setChecked(true);
}

void TGifEdit::SetWindowColorClick() {
    {
        const PaintingOff painting;
        if (!FSyncingTrackBars) {
            const COLORREF face = GetSysColor(COLOR_BTNFACE);
            // Each bar's move shows and animates the colour on its way.
            trbRed->setValue(GetRValue(face));
            trbGreen->setValue(GetGValue(face));
            trbBlue->setValue(GetBValue(face));
            ShowComposedColor();
            AnimateEntry(face);
        }
    }
    if (AAPl->isChecked()) pnlColorClick();
}

void TGifEdit::CommitWorkDib() {
    if (GifNameBox->currentRow() < 0 || !FCurrentFrame || !FWorkDib || !FWorkDib->Dib()) return;
    if (GivePicture(FCurrentFrame, CopyOf(*FWorkDib))) FramesChanged();
}

void TGifEdit::OptPalettesClick() {
    {
        TPalMan dialog(this);
        if (dialog.exec() == mrOk) {
            if (dialog.OptimzePalette->isChecked())
                OptimizePalettes();
            else if (dialog.CopyPalette->isChecked())
                CopyPaletteToSelected();
        }
    }
    PaintBox1->update();
}

QList<int> TGifEdit::SelectedFrames() const {
    QList<int> rows;
    if (!FFrameList) return rows;
    for (int i = 0; i < GifNameBox->count() && size_t(i) < FFrameList->size(); ++i)
        if (GifNameBox->item(i)->isSelected()) rows << i;
    return rows;
}

void TGifEdit::SetProgressText(const QString& text) {
    StatusPanels[2]->setText(text);
    if (StatusForm) StatusForm->SetStatus(text);
}

void TGifEdit::OptimizePalettes() {
    if (!ConfirmYes("All selected palettes will be optimized using the current active palette. "
                    "Are you sure?"))
        return;
    const int caret = GifNameBox->currentRow();
    if (!FFrameList || caret < 0 || size_t(caret) >= FFrameList->size()) return;
    const PaintingOff painting;
    const auto reference = WorkCopy((*FFrameList)[size_t(caret)]->DibHandle);
    HPALETTE referencePalette = reference->Dib() ? reference->GetPalette() : 0;
    const QList<int> selected = SelectedFrames();
    bool skipping = false;
    for (int i : selected) {
        const int bits = BitsOf((*FFrameList)[size_t(i)]->DibHandle);
        if (bits > 0 && bits < 4) skipping = true;
    }
    if (skipping)
        ShowMessage("At least one palette has less then 16 colors and will be ignored. Increase "
                    "this palette to 256 or 16 colors.");
    if (!referencePalette) ShowMessage(kNoPalette);
    const auto change = Change(TChangeKind::Pictures, "Optimize palettes",
                               RecordsOf(referencePalette ? selected : QList<int>{}));
    if (referencePalette) {
        if (StatusForm) StatusForm->ShowStatus("");
        for (int i : selected) {
            if (i == caret) continue;
            SetProgressText("Applying palette to frame " + QString::number(i + 1));
            FCurrentFrame = (*FFrameList)[size_t(i)];
            FWorkDib = WorkCopy(FCurrentFrame->DibHandle);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            HPALETTE own = FWorkDib->Dib() ? FWorkDib->GetPalette() : 0;
            if (!own || FWorkDib->BitCount() < 4 || FWorkDib->BitCount() > 8) continue;
            Remap(*FWorkDib, NearestIndices(own, referencePalette));
            std::array<PALETTEENTRY, 256> entries{};
            const uint32_t n = std::min<uint32_t>(FWorkDib->ColorCount(), 256);
            const uint32_t got = GetPaletteEntries(referencePalette, 0, n, entries.data());
            SetPaletteEntries(own, 0, got, entries.data());
            FWorkDib->SetPalette(own);
            if (GivePicture(FCurrentFrame, CopyOf(*FWorkDib))) FCurrentFrame->UseLocalPalette = 0;
        }
        if (StatusForm) StatusForm->HideStatus();
        StatusPanels[2]->clear();
    }
    // The working picture follows the current frame again, so that a later
    // apply never writes another frame's picture into it.
    FCurrentFrame = (*FFrameList)[size_t(caret)];
    FWorkDib = WorkCopy(FCurrentFrame->DibHandle);
    RefreshPreview();
    pbPalette->update();
    FramesChanged();
}

void TGifEdit::CopyPaletteToSelected() {
    if (!ConfirmYes("All selected palettes will be replaced with the current active palette. Are "
                    "you sure?"))
        return;
    const int caret = GifNameBox->currentRow();
    if (!FFrameList || caret < 0 || size_t(caret) >= FFrameList->size() || !FWorkDib->Dib()) return;
    const PaintingOff painting;
    // The current frame's palette with the user's edits, kept apart from
    // the working picture that is loaded for each frame below.
    std::array<PALETTEENTRY, 256> entries{};
    const uint32_t count = FWorkDib->GetPalette()
                               ? GetPaletteEntries(FWorkDib->GetPalette(), 0, 256, entries.data())
                               : 0;
    if (!count) ShowMessage(kNoPalette);
    const auto change = Change(TChangeKind::Pictures, "Copy palette",
                               RecordsOf(count ? SelectedFrames() : QList<int>{}));
    if (count) {
        for (int i : SelectedFrames()) {
            FCurrentFrame = (*FFrameList)[size_t(i)];
            FWorkDib = WorkCopy(FCurrentFrame->DibHandle);
            HPALETTE own = FWorkDib->Dib() ? FWorkDib->GetPalette() : 0;
            if (!own) continue;
            SetPaletteEntries(own, 0, std::min(count, FWorkDib->ColorCount()), entries.data());
            FWorkDib->SetPalette(own);
            GivePicture(FCurrentFrame, CopyOf(*FWorkDib));
        }
    }
    // The working picture follows the current frame again, so that a later
    // apply never writes another frame's picture into it.
    FCurrentFrame = (*FFrameList)[size_t(caret)];
    FWorkDib = WorkCopy(FCurrentFrame->DibHandle);
    RefreshPreview();
    pbPalette->update();
    FramesChanged();
}
