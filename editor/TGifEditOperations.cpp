// Operations on existing frames: the clipboard, apply-to-selected, resize,
// crop and rotate through their dialogs, and text burnt into frames. The
// dialogs only hand back what to do; every frame changed here receives a
// fresh copy of its new picture.
//
// After an operation that walked through several frames the working
// picture is loaded from the current frame again, so that a later palette
// apply never stores another frame's picture in it.
#include "app/ModalResult.h"
#include "app/SharedForms.h"
#include "app/TStatusForm.h"
#include "bindings/EffectsBinding.h"
#include "editor/EditorParts.h"
#include "editor/TApplyToAllForm.h"
#include "editor/TGifEdit.h"
#include "editor/TPaintBox.h"
#include "editor/commands/TChangeRecorder.h"
#include "imaging/common/ColorRef.h"
#include "imaging/common/DibClipboard.h"
#include "manipulation/TCropForm.h"
#include "manipulation/TResizeForm.h"
#include "manipulation/TRotateForm.h"
#include "manipulation/TStretchHandle.h"
#include "manipulation/TTOptionForm.h"
#include "platform/Gdi.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <cstring>

using namespace editorparts;

namespace {

void LetMessagesRun() {
    // Paints and timers only: a click meanwhile must not change the list
    // being walked.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// The frame's picture drawn on in place: the device bitmap's pixels are the
// rows of an RGB32 image.
QImage CanvasOf(zp::TBitmap& bitmap) {
    return QImage(reinterpret_cast<uchar*>(bitmap.bits()), bitmap.width(), bitmap.height(),
                  bitmap.width() * 4, QImage::Format_RGB32);
}

// The top-left width x height pixels of a picture, as a picture of its own.
std::unique_ptr<PVWebImg::PVTDib> TopLeftOf(const PVWebImg::PVTDib& dib, int width, int height) {
    const int bits = dib.BitCount(), rows = std::abs(dib.Height());
    if (!dib.Dib() || width > dib.Width() || height > rows) return WorkOn(0);
    const size_t from = size_t(dib.StrideFor(dib.Width(), bits));
    const size_t to = size_t(dib.StrideFor(width, bits));
    const size_t head = dib.BitsOffset();
    zp::GlobalBlock block = zp::GlobalBlock::allocate(head + to * size_t(height));
    zp::GlobalLockGuard lock(block.get());
    if (!lock) return WorkOn(0);
    auto* out = lock.as<uint8_t>();
    std::memcpy(out, dib.Dib(), head);
    auto* header = lock.as<BITMAPINFOHEADER>();
    header->biWidth = width;
    header->biHeight = dib.Height() < 0 ? -height : height;
    header->biSizeImage = uint32_t(to * size_t(height));
    // Rows counted from the top; bottom-up pictures store them last first.
    for (int y = 0; y < height; ++y) {
        const int source = dib.Height() < 0 ? y : rows - 1 - y;
        const int target = dib.Height() < 0 ? y : height - 1 - y;
        std::memcpy(out + head + to * size_t(target), dib.Bits() + from * size_t(source), to);
    }
    return WorkOn(block.release());
}

} // namespace

bool TGifEdit::CurrentFrameBitmap(zp::TBitmap& bitmap) {
    if (!FWorkDib || !FWorkDib->Dib()) return false;
    const PaintingOff painting;
    return FWorkDib->ToBitmap(bitmap);
}

void TGifEdit::StoreBitmapInFrame(zp::TBitmap& bitmap) {
    const PaintingOff painting;
    if (!FWorkDib || !FWorkDib->Dib() || !FCurrentFrame) return;
    if (FWorkDib->FromBitmap(bitmap, FWorkDib->BitCount()))
        GivePicture(FCurrentFrame, CopyOf(*FWorkDib));
    bitmap.setHandle(0);
    bitmap.setPalette(0);
}

void TGifEdit::ClipCopyClick() {
    if (FCurrentFrame) dibclip::PutDib(FCurrentFrame->DibHandle);
}

void TGifEdit::CutClick() {
    ClipCopyClick();
    const int selected = int(SelectedFrames().size());
    const auto change =
        Change(TChangeKind::RemoveFrames,
               selected == 1 ? QString("Cut frame") : QString("Cut %1 frames").arg(selected));
    DeleteSelectedframesClick();
}

void TGifEdit::ApplyFrmsClick() {
    if (!FFrameList) return;
    {
        TApplyToAllForm dialog(this);
        dialog.SetFrames(FFrameList);
        dialog.LeftEdit->setValue(LeftEdit->value());
        dialog.TopEdit->setValue(TopEdit->value());
        dialog.DelaySpin->setValue(DelaySpin->value());
        dialog.Dispos->setCurrentIndex(Dispos->currentIndex());
        dialog.HasTransparency->setChecked(HasTransparency->isChecked());
        dialog.InterlacedBox->setChecked(InterlacedBox->isChecked());
        const QColor face = ScrollBox1->palette().color(QPalette::Window);
        dialog.WindowFaceColor = RGB(face.red(), face.green(), face.blue());
        dialog.BackgroundColor = FPanel5Color;
        dialog.OnFramesChanged = [this] { FramesChanged(); };
        // Each "Apply" is a step of its own.
        dialog.OnApply = [this](const std::vector<TMyGifAnimation*>& records, bool pictures,
                                const std::function<void()>& apply) {
            const auto change = Change(TChangeKind::Pictures, "Apply to frames",
                                       pictures ? records : std::vector<TMyGifAnimation*>{});
            apply();
        };
        dialog.exec();
    }
    // The panels and the working picture show what the apply left.
    LoadFrameIntoPanels();
}

void TGifEdit::ChangeFrames(const QString& verb, bool all, bool controlsOff,
                            const std::function<bool(TMyGifAnimation*, int)>& change) {
    const PaintingOff painting;
    if (controlsOff) SetFrameControlsEnabled(false);
    const int caret = GifNameBox->currentRow();
    const QList<int> rows = all ? SelectedFrames() : QList<int>{caret};
    // The step is named after the verb: "Resizing" gives "Undo Resizing".
    QString step = verb;
    if (step.endsWith(" to")) step.chop(3);
    const auto recorder = Change(TChangeKind::Pictures, step, RecordsOf(rows));
    if (all && StatusForm) StatusForm->ShowStatus("");
    for (int i : rows) {
        if (i < 0 || size_t(i) >= FFrameList->size()) continue;
        if (all) SetProgressText(verb + " frame " + QString::number(i + 1));
        TMyGifAnimation* record = (*FFrameList)[size_t(i)];
        if (change(record, i)) FramesChanged();
        LetMessagesRun();
    }
    StatusPanels[2]->clear();
    if (StatusForm) StatusForm->HideStatus();
    ShowFrameCount();
    SetFrameControlsEnabled(true);
}

bool TGifEdit::CopyImageInto(TMyGifAnimation* record, int width, int height, bool antialias,
                             const DllSP96::Area& source) {
    zp::GlobalBlock copy(DuplicateGlobalBlock(record->DibHandle));
    const DllSP96::BWCopyFlags flags{antialias ? DllSP96::C_ANTIALIAS : DllSP96::C_DEL};
    if (!copy || DllSP96::PVImageCopy(copy.get(), width, height, flags, source) != 1) return false;
    FWorkDib = WorkOn(copy.release());
    return GivePictureOf(record, *FWorkDib);
}

void TGifEdit::Resize_ImageClick() {
    if (!FCurrentFrame || !FWorkDib->Dib()) return;
    int result = mrCancel, width = 0, height = 0;
    bool all = false;
    {
        TResizeForm dialog(this);
        zp::TBitmap frame;
        if (!FWorkDib->ToBitmap(frame)) return;
        dialog.SetFrame(frame, FCurrentFrame->Width, FCurrentFrame->Height);
        result = dialog.exec();
        width = dialog.NewWidth();
        height = dialog.NewHeight();
        all = dialog.AllFrames;
    }
    if (result == mrOk)
        ChangeFrames("Resizing", all, true, [&](TMyGifAnimation* record, int i) {
            const DllSP96::Area source{0, 0, record->Width - 1, record->Height - 1};
            if (!CopyImageInto(record, width, height, all, source)) return false;
            if (all && i == 0) {
                FFrameList->front()->ScreenWidth = uint16_t(record->Width);
                FFrameList->front()->ScreenHeight = uint16_t(record->Height);
            }
            return true;
        });
    LoadFrameIntoPanels();
}

void TGifEdit::CropImageClick() {
    if (!FCurrentFrame || !FWorkDib->Dib()) return;
    int result = mrCancel;
    DllSP96::Area source;
    int width = 0, height = 0;
    bool all = false;
    {
        TCropForm dialog(this);
        zp::TBitmap frame;
        if (!FWorkDib->ToBitmap(frame)) return;
        dialog.SetFrame(frame);
        result = dialog.exec();
        source = dialog.Source;
        width = dialog.DestWidth;
        height = dialog.DestHeight;
        all = dialog.AllFrames;
    }
    // No band drawn (or "Reset" last): nothing to crop. The source's right
    // and bottom are inclusive, so the copy is 1:1, never squeezed by a pixel.
    // A frame smaller than the one the band was drawn on gives what it has
    // of the band, still 1:1.
    // The copy's area takes a right or bottom of 0 for the picture's edge, so
    // a band one column (row) wide at the left (top) is copied two wide
    // (tall) and then trimmed.
    if (result == mrOk && width > 0 && height > 0)
        ChangeFrames("Cropping", all, false, [&](TMyGifAnimation* record, int) {
            const QRect band = QRect(source.Left, source.Top, width, height)
                                   .intersected(QRect(0, 0, record->Width, record->Height));
            if (band.isEmpty()) return false;
            QRect area = band;
            if (band.right() == 0 && record->Width > 1) area.setWidth(2);
            if (band.bottom() == 0 && record->Height > 1) area.setHeight(2);
            if (!CopyImageInto(record, area.width(), area.height(), false,
                               {area.left(), area.top(), area.right(), area.bottom()}))
                return false;
            if (area.size() == band.size()) return true;
            FWorkDib = TopLeftOf(*FWorkDib, band.width(), band.height());
            return FWorkDib->Dib() && GivePictureOf(record, *FWorkDib);
        });
    LoadFrameIntoPanels();
}

void TGifEdit::RotateFrameClick() {
    if (!FCurrentFrame || !FWorkDib->Dib()) return;
    int result = mrCancel;
    double angle = 0;
    COLORREF fill = 0;
    {
        TRotateForm dialog(this);
        zp::TBitmap frame;
        if (!FWorkDib->ToBitmap(frame)) return;
        dialog.SetFrame(frame);
        result = dialog.exec();
        angle = dialog.Angle;
        fill = ColorToRGB(dialog.FillColor);
    }
    if (result == mrOk) {
        const auto change = Change(TChangeKind::Pictures, "Rotate", {FCurrentFrame});
        const PaintingOff painting;
        HGLOBAL copy = DuplicateGlobalBlock(FCurrentFrame->DibHandle);
        if (copy && DllSP96::PVRotate(copy, DllSP96::Area{}, fill, angle)) {
            FWorkDib = WorkOn(copy);
            if (GivePictureOf(FCurrentFrame, *FWorkDib)) FramesChanged();
        } else {
            zp::GlobalBlock::freeFully(copy);
        }
    }
    LoadFrameIntoPanels();
}

// Text on frames: the label is placed over the preview, wrapped in the
// sizing handles to move it, and burnt into the selected frames.
void TGifEdit::TextOnImageClick() {
    TextLabel->move(0, 0);
    FStretchHandle->Detach();
    TextLabel->setVisible(!TextLabel->isVisible());
    if (TextLabel->isVisible()) TextLabel->raise();
}

void TGifEdit::TextLabelDblClick() {
    FStretchHandle->SetColor(RGB(0x80, 0, 0));
    FStretchHandle->Attach(TextLabel);
    FStretchHandle->SetHint("Drag to place. Right click for options");
}

void TGifEdit::ShowTextLabelStyle() {
    QPalette palette = TextLabel->palette();
    palette.setColor(QPalette::WindowText, FTextColor);
    palette.setColor(QPalette::Window, FTextBackColor);
    TextLabel->setPalette(palette);
    TextLabel->setAutoFillBackground(!FTextTransparent);
    TextLabel->adjustSize();
}

void TGifEdit::TextOptionsClick() {
    bool commit = false;
    {
        TTOptionForm dialog(this);
        dialog.Load(TextLabel->text(), TextLabel->font(), FTextColor, FTextBackColor,
                    FTextTransparent);
        if (dialog.exec() != mrOk) return;
        TextLabel->setText(dialog.Text());
        TextLabel->setFont(dialog.Font());
        FTextColor = dialog.FontColor();
        FTextBackColor = dialog.Color();
        FTextTransparent = dialog.Transparent();
        commit = dialog.Commit;
    }
    ShowTextLabelStyle();
    if (!commit) {
        FStretchHandle->Attach(TextLabel);
        return;
    }
    BurnText();
}

void TGifEdit::BurnText() {
    FStretchHandle->Detach();
    TextLabel->hide();
    QFont font = TextLabel->font();
    font.setPixelSize(QFontInfo(TextLabel->font()).pixelSize());
    font.setWeight(font.bold() ? QFont::Bold : QFont::Normal);
    ChangeFrames("Applying text to", true, false, [&](TMyGifAnimation* record, int) {
        FCurrentFrame = record;
        FWorkDib = WorkCopy(record->DibHandle);
        zp::TBitmap bitmap;
        if (!CurrentFrameBitmap(bitmap)) return false;
        {
            QImage canvas = CanvasOf(bitmap);
            QPainter painter(&canvas);
            // A picture of few colours gets crisp glyphs: smoothed edges
            // would only be matched to odd palette colours.
            font.setStyleStrategy(FWorkDib->BitCount() <= 8 ? QFont::NoAntialias
                                                            : QFont::PreferDefault);
            painter.setFont(font);
            painter.setPen(FTextColor);
            painter.setBackgroundMode(FTextTransparent ? Qt::TransparentMode : Qt::OpaqueMode);
            painter.setBackground(FTextBackColor);
            // The text lands where it lies on the screen, in every frame.
            const QPoint at = TextLabel->pos() - QPoint(record->Left, record->Top);
            painter.drawText(QRect(at, QSize(canvas.width() + 1 - std::min(at.x(), 0),
                                             canvas.height() + 1 - std::min(at.y(), 0))),
                             Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, TextLabel->text());
        }
        StoreBitmapInFrame(bitmap);
        return true;
    });
    LoadFrameIntoPanels();
    PaintBox1->update();
}
