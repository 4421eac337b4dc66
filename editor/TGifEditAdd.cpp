// Adding frames: from image files (a still picture reduced to 8 bits with
// a palette of its own, or the frames picked from a GIF file), from the
// clipboard, and blank frames.
#include "app/SharedForms.h"
#include "bindings/CodecBinding.h"
#include "bindings/EffectsBinding.h"
#include "editor/EditorParts.h"
#include "editor/TGifEdit.h"
#include "editor/TGifframeselector.h"
#include "editor/commands/TChangeRecorder.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/common/DibClipboard.h"
#include "imaging/common/DibImage.h"
#include "imaging/common/TextCase.h"
#include "imaging/common/WaitCursor.h"
#include "imaging/still/TMMOpenDialog.h"
#include "imaging/still/TPMultiImage.h"
#include "platform/GlobalBlock.h"
#include "platform/Message.h"
#include "platform/ScopeGuards.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>
#include <optional>

namespace {

using editorparts::CopyOf;
using editorparts::PaintingOff;

const char* const kOpenFilter = "All|*.BMP;*.GIF;*.JPG;*.PCX;*.PNG;*.TIF;*.PCD;*.TGA|";

std::string WithoutFolder(const std::string& fileName) {
    return std::filesystem::path(fileName).filename().string();
}

} // namespace

void TGifEdit::ConnectAddingFrames() {
    connect(Load_Image, &QToolButton::clicked, this, &TGifEdit::Load_ImageClick);
    connect(Open1, &QAction::triggered, this, &TGifEdit::Load_ImageClick);
    connect(ClipPaste, &QToolButton::clicked, this, &TGifEdit::ClipPasteClick);
    connect(Paste1, &QAction::triggered, this, &TGifEdit::ClipPasteClick);
    connect(New1, &QAction::triggered, this, &TGifEdit::New1Click);
    ConnectVideoCommands();
}

void TGifEdit::Load_ImageClick() {
    if (!FFrameList || Timer1->isActive()) return;
    const int caret = GifNameBox->currentRow();
    const int position = std::max(0, caret);
    if (ConfirmYes(QString("New frames will be inserted starting at position %1 Are you sure?")
                       .arg(position + 1))) {
        if (!MMOpenDialog1) {
            MMOpenDialog1 = new TMMOpenDialog(this);
            MMOpenDialog1->setWindowTitle("Open File");
            MMOpenDialog1->SetFilter(kOpenFilter);
        }
        bool inserted = false;
        auto change = Change(TChangeKind::InsertFrames, "Insert frames");
        const size_t before = FFrameList->size();
        if (MMOpenDialog1->Execute()) {
            const std::string file = MMOpenDialog1->FileName();
            inserted = Upper(std::filesystem::path(file).extension().string()) == ".GIF"
                           ? InsertFramesFromGif(file, position)
                           : InsertFrameFromStill(file, position);
        }
        const size_t added = FFrameList->size() - before;
        change.SetText(added == 1 ? QString("Insert frame")
                                  : QString("Insert %1 frames").arg(added));
        RefillNames();
        if (inserted) {
            // What was inserted is what the panels and the preview show.
            GifNameBox->setCurrentRow(position, QItemSelectionModel::ClearAndSelect);
            LoadFrameIntoPanels();
        } else if (caret >= 0 && caret < GifNameBox->count()) {
            GifNameBox->setCurrentRow(caret, QItemSelectionModel::ClearAndSelect);
        }
    }
    AddingEnded(true);
    UpdateMoveButtons();
    PBar->setValue(0);
}

bool TGifEdit::InsertFrameFromStill(const std::string& fileName, int position) {
    const WaitCursor hourglass;
    zp::TBitmap bitmap;
    {
        // Reads every format the still-image component knows; it reports
        // its own failures.
        TPMultiImage loader(this);
        loader.hide();
        loader.SetImageName(fileName);
        if (!loader.Picture().HasBitmapHandle() ||
            !DllSP96::CopyBitmap(loader.Picture().Bitmap(), bitmap))
            return false;
    }
    // A palette of the picture's own colours: exact for up to 256 of them,
    // else the quantiser's best 256.
    HGLOBAL dib = 0;
    if (!DLL96V1::DdbtoDib(bitmap.handle(), bitmap.palette(), 8, 0, nullptr, 1, 0, dib) || !dib) {
        ShowMessage(DLL96V1::CodecLastErrorText.c_str());
        return false;
    }
    FWorkDib = editorparts::WorkOn(dib);
    return AppendFrameFromWorkDib(fileName, position);
}

bool TGifEdit::InsertFramesFromGif(const std::string& fileName, int position) {
    std::optional<WaitCursor> hourglass(std::in_place);
    // The selector's component owns the frames it loads and frees them with it.
    TGifframeselector selector(this);
    PVWebImage* source = selector.AniGifImage1;
    try {
        source->LoadFromFile(fileName);
    } catch (const std::exception& e) {
        hourglass.reset();
        ShowMessage(e.what());
        return false;
    }
    // A GIF of one plain image holds no frame yet: its picture becomes one.
    if (source->Frames()->empty()) source->FrameFromSingleImage();
    const TFrameList& frames = *source->Frames();
    const QString name = QString::fromStdString(Lower(WithoutFolder(fileName)));
    QStringList names;
    for (size_t n = 1; n <= frames.size(); ++n)
        names << QString("Frame %1 of %2").arg(n).arg(name);
    selector.GifNameBox->addItems(names);
    hourglass.reset();
    if (selector.exec() != QDialog::Accepted) return false;
    int inserted = 0;
    for (int row : selector.SelectedRows())
        if (size_t(row) < frames.size() &&
            InsertFrameCopy(*frames[size_t(row)], position + inserted))
            ++inserted;
    return inserted > 0;
}

bool TGifEdit::InsertFrameCopy(const TMyGifAnimation& source, int position) {
    if (!FFrameList) return false;
    HGLOBAL picture = DuplicateGlobalBlock(source.DibHandle);
    if (!picture) return false;
    auto* record = new TMyGifAnimation(source);
    record->ScreenReserved = 0;
    record->DibHandle = picture;
    InsertRecord(record, position);
    return true;
}

bool TGifEdit::AppendFrameFromWorkDib(const std::string& fileName, int position) {
    if (!FFrameList || !FWorkDib || !FWorkDib->Dib()) return false;
    HGLOBAL picture = CopyOf(*FWorkDib);
    if (!picture) return false;
    auto* record = new TMyGifAnimation;
    record->Name = "Frame 1 of " + WithoutFolder(fileName);
    record->Width = int16_t(FWorkDib->Width());
    record->Height = int16_t(std::abs(FWorkDib->Height()));
    record->ScreenWidth = uint16_t(record->Width);
    record->ScreenHeight = uint16_t(record->Height);
    record->ScreenColors = record->LocalColors =
        editorparts::ColourCountField(FWorkDib->ColorCount());
    record->UseLocalPalette = 1;
    record->Delay = 10;
    record->DibHandle = picture;
    InsertRecord(record, position);
    return true;
}

void TGifEdit::InsertRecord(TMyGifAnimation* record, int position) {
    const bool hadFrames = !FFrameList->empty();
    position = std::clamp(position, 0, int(FFrameList->size()));
    FFrameList->insert(FFrameList->begin() + position, record);
    // Frame 0 carries the animation's screen: a new first frame takes it over.
    if (position == 0 && hadFrames) {
        record->ScreenWidth = uint16_t(ScreenWidthEdit->value());
        record->ScreenHeight = uint16_t(ScreenHeightEdit->value());
    }
}

void TGifEdit::RefillNames() {
    GifNameBox->clear();
    QStringList names;
    for (const TMyGifAnimation* record : *FFrameList)
        names << QString::fromStdString(record->Name);
    GifNameBox->addItems(names);
}

void TGifEdit::AddingEnded(bool enableControls) {
    ShowFrameCount();
    ShowScreenValues();
    if (enableControls && !FFrameList->empty()) SetFrameControlsEnabled(true);
    FramesChanged();
}

void TGifEdit::ClipPasteClick() {
    if (!FFrameList || Timer1->isActive()) return;
    zp::GlobalBlock clip(dibclip::TakeDib());
    if (!clip) return;
    {
        const PaintingOff painting;
        const int caret = GifNameBox->currentRow();
        if (ConfirmYes("Replace current frame? No to append!")) {
            // The only frame can be replaced too.
            if (caret < 0 || size_t(caret) >= FFrameList->size()) return;
            const auto change =
                Change(TChangeKind::Pictures, "Paste over frame", {(*FFrameList)[size_t(caret)]});
            auto work = editorparts::WorkCopy(clip.get());
            if (!work->Dib()) return;
            FWorkDib = std::move(work);
            ReplaceFrameWithWorkDib(caret, "Replaced by clipBoard Frame");
        } else {
            zp::GlobalBlock picture(DuplicateGlobalBlock(clip.get()));
            auto work = editorparts::WorkCopy(clip.get());
            if (!picture || !work->Dib()) return;
            const auto change = Change(TChangeKind::InsertFrames, "Paste frame");
            FWorkDib = std::move(work);
            AppendWorkDibFrame("New ClipBoard Frame", picture.release());
        }
    }
    ShowAddedPicture();
}

void TGifEdit::ShowAddedPicture() {
    FPreview = dibimage::ToImage(FWorkDib->Dib());
    StatusPanels[0]->setText(
        QString("W:%1 * H:%2").arg(FWorkDib->Width()).arg(std::abs(FWorkDib->Height())));
    AddingEnded(false);
    // Controls in use show the frame they now change; controls still off
    // stay off until an entry is clicked.
    if (LeftEdit->isEnabled())
        LoadFrameIntoPanels();
    else
        PlacePreview(FCurrentFrame->Left, FCurrentFrame->Top);
    UpdateMoveButtons();
}

void TGifEdit::ReplaceFrameWithWorkDib(int row, const std::string& name) {
    FCurrentFrame = (*FFrameList)[size_t(row)];
    if (!editorparts::GivePictureOf(FCurrentFrame, *FWorkDib)) return;
    FCurrentFrame->Name = name;
    GifNameBox->item(row)->setText(QString::fromStdString(name));
    FramesChanged();
}

TMyGifAnimation* TGifEdit::AppendWorkDibFrame(const std::string& name, HGLOBAL picture) {
    auto* record = new TMyGifAnimation;
    record->Name = name;
    record->Width = int16_t(FWorkDib->Width());
    record->Height = int16_t(std::abs(FWorkDib->Height()));
    // A first frame needs a screen; later ones leave it to frame 0.
    if (FFrameList->empty()) {
        record->ScreenWidth = uint16_t(record->Width);
        record->ScreenHeight = uint16_t(record->Height);
    }
    record->Delay = 10;
    record->DibHandle = picture;
    FFrameList->push_back(record);
    GifNameBox->addItem(QString::fromStdString(name));
    // The working picture is the new frame's, so the new frame is the one
    // the panels change.
    FCurrentFrame = record;
    GifNameBox->setCurrentRow(GifNameBox->count() - 1, QItemSelectionModel::ClearAndSelect);
    return record;
}

void TGifEdit::New1Click() {
    AddBlankFrame(100, 8, 100);
}

bool TGifEdit::AddBlankFrame(int width, int bitsPerPixel, int height) {
    if (!FFrameList || Timer1->isActive()) return false;
    {
        const auto change = Change(TChangeKind::InsertFrames, "New frame");
        const PaintingOff painting;
        PVWebImg::PVTDib blank;
        if (!blank.CreateDib(0, width, bitsPerPixel, height)) return false;
        HGLOBAL picture = CopyOf(blank);
        if (!picture) return false;
        auto* record = new TMyGifAnimation;
        record->Name = "New Frame";
        if (FFrameList->empty()) {
            record->ScreenWidth = uint16_t(width);
            record->ScreenHeight = uint16_t(height);
        }
        record->UseLocalPalette = 1;
        record->LocalColors = bitsPerPixel == 8 ? 255 : 16;
        record->Width = int16_t(width);
        record->Height = int16_t(height);
        record->Disposal = 3;
        record->Delay = 10;
        record->DibHandle = picture;
        FFrameList->push_back(record);
        GifNameBox->addItem("New Frame");
    }
    AddingEnded(false);
    return true;
}
