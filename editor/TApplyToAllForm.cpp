#include "editor/TApplyToAllForm.h"

#include "app/ModalResult.h"
#include "bindings/EffectsBinding.h"
#include "editor/EditorParts.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "imaging/animated/PVTDib.h"
#include "platform/Gdi.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>

using namespace editorparts;

namespace {

// The record fields' own ranges: a typed value never wraps.
constexpr int kMaxPosition = 32767;
constexpr int kMaxDelay = 65535;

QCheckBox* Flag(QWidget* parent, const char* name, int y, const QString& hint) {
    auto* box = new QCheckBox(parent);
    box->setObjectName(name);
    box->setGeometry(452, y + 2, 18, 18);
    Hint(box, hint);
    return box;
}

template <class T> T* Named(T* control, const char* name, const QString& hint = {}) {
    control->setObjectName(name);
    if (!hint.isEmpty()) Hint(control, hint);
    return control;
}

} // namespace

TApplyToAllForm::TApplyToAllForm(QWidget* parent)
    : TToolDialog(parent, "ApplyToAllForm", "Apply to all selected frames", 480, 340,
                  "Select_Frames") {
    QWidget* client = Client;

    QLabel* select = Caption(client, "Select frames which need to be corrected", 8, 2, 152);
    select->setWordWrap(true);
    select->resize(152, 34);
    GifNameBox = Named(new QListWidget(client), "GifNameBox");
    GifNameBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    GifNameBox->setGeometry(8, 38, 152, 256);
    GifNameBox->setUniformItemSizes(true);
    SelectAll = Named(new QToolButton(client), "SelectAll", "Select All");
    SelectAll->setText("Select All");
    SelectAll->setGeometry(8, 304, 80, 26);
    connect(SelectAll, &QToolButton::clicked, GifNameBox, &QListWidget::selectAll);

    Caption(client, "Adjust the settings which needs to be altered", 176, 2, 296);
    Caption(client, "Mark the check box to set the flag", 176, 18, 296);
    int y = 42;
    auto row = [&](const QString& caption) {
        Caption(client, caption, 176, y, 80);
        const int at = y;
        y += 26;
        return at;
    };
    int at = row("Top");
    TopEdit = Spin(client, "TopEdit", 260, at, 0, kMaxPosition, "Top position of the frame");
    TopBox = Flag(client, "TopBox", at, "Flag the  Top  to be changed on Apply");
    at = row("Left");
    LeftEdit = Spin(client, "LeftEdit", 260, at, 0, kMaxPosition, "Left position of the frame");
    LeftBox = Flag(client, "LeftBox", at, "Flag the Left  to be changed on Apply");
    at = row("Delay");
    DelaySpin = Spin(client, "DelaySpin", 260, at, 0, kMaxDelay, "Delay in 100 Sec");
    DelayBox = Flag(client, "DelayBox", at, "Flag the  Delay  to be changed on Apply");
    at = row("Disposal");
    Dispos = Named(new QComboBox(client), "Dispos", "How to dispose the previous frame");
    Dispos->addItems({"None", "Not dispose", "Erase", "Overwrite"});
    Dispos->setGeometry(260, at, 120, 22);
    DisPosBox = Flag(client, "DisPosBox", at, "Flag the  Disposal Method to be changed on Apply");
    auto tick = [&](QCheckBox*& value, const char* name, const QString& caption,
                    const QString& hint, QCheckBox*& flag, const char* flagName,
                    const QString& flagHint) {
        value = Named(new QCheckBox(caption, client), name, hint);
        value->setGeometry(176, y, 220, 20);
        flag = Flag(client, flagName, y, flagHint);
        y += 26;
    };
    tick(HasTransparency, "HasTransparency", "   Has Transparency", {}, TransBox, "TransBox",
         "Flag the Transparent Color to be changed on Apply");
    tick(InterlacedBox, "InterlacedBox", "                Interlaced", "Interlaced", IntLaBox,
         "IntLaBox", "Flag the  Interlaced  to be changed on Apply");
    tick(LocalPal, "LocalPal", " Use its own palette", "Local Palette option", PalBox, "PalBox",
         "Flag the Palette   to be changed on Apply");

    at = y;
    y += 24;
    Col16 = Named(new QRadioButton("16 Colors", client), "Col16", "Downscale frame to 16 colors");
    Col16->setGeometry(176, at, 100, 20);
    Col16->setChecked(true);
    col256 = Named(new QRadioButton("256 Colors", client), "col256", "Upscale frame to 256 colors");
    col256->setGeometry(290, at, 110, 20);
    auto* colours = new QButtonGroup(this);
    colours->addButton(Col16);
    colours->addButton(col256);
    ColBox = Flag(client, "ColBox", at, "Convert the frame to X colors");
    BAYER = Named(new QRadioButton("BAYER", client), "BAYER", "Sets the dither method");
    BURKES = Named(new QRadioButton("BURKES", client), "BURKES", "Sets the dither method");
    FLOYD = Named(new QRadioButton("FLOYD", client), "FLOYD", "Sets the dither method");
    GRAY = Named(new QRadioButton("GRAY", client), "GRAY", "Generate a Grayscale Image");
    auto* dithers = new QButtonGroup(this);
    int x = 176;
    for (QRadioButton* dither : {BAYER, BURKES, FLOYD, GRAY}) {
        dither->setGeometry(x, y, 72, 20);
        dithers->addButton(dither);
        x += 72;
    }
    y += 28;
    // Growing to 256 colours knows no dither.
    connect(col256, &QRadioButton::clicked, this, [this] {
        for (QRadioButton* dither : {BAYER, BURKES, FLOYD, GRAY})
            dither->setEnabled(false);
    });
    connect(Col16, &QRadioButton::clicked, this, [this] {
        for (QRadioButton* dither : {BAYER, BURKES, FLOYD, GRAY})
            dither->setEnabled(true);
    });

    Caption(client, "Click the Apply button bellow", 176, y, 296);
    BitBtn1 =
        Named(new QPushButton("Apply", client), "BitBtn1", "Apply this to all selected frames");
    BitBtn1->setGeometry(176, 304, 90, 26);
    connect(BitBtn1, &QPushButton::clicked, this, &TApplyToAllForm::BitBtn1Click);
    CloseWindow = Named(new QToolButton(client), "CloseWindow");
    CloseWindow->setText("Close");
    CloseWindow->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
    CloseWindow->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    CloseWindow->setGeometry(380, 304, 90, 26);
    connect(CloseWindow, &QToolButton::clicked, this, [this] { done(mrCancel); });
}

void TApplyToAllForm::SetFrames(TFrameList* frames) {
    FFrameList = frames;
    GifNameBox->clear();
    if (!frames) return;
    QStringList names;
    for (const TMyGifAnimation* record : *frames)
        names << QString::fromStdString(record->Name);
    GifNameBox->addItems(names);
}

void TApplyToAllForm::BitBtn1Click() {
    if (QMessageBox::information(this, windowTitle(), "Are you sure?",
                                 QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    std::vector<TMyGifAnimation*> chosen;
    for (int i = 0; i < GifNameBox->count(); ++i)
        if (GifNameBox->item(i)->isSelected() && FFrameList && size_t(i) < FFrameList->size())
            chosen.push_back((*FFrameList)[size_t(i)]);
    const auto apply = [&] {
        const PaintingOff painting;
        for (TMyGifAnimation* record : chosen)
            ApplyTo(record);
    };
    if (OnApply)
        OnApply(chosen, TransBox->isChecked() || ColBox->isChecked(), apply);
    else
        apply();
    if (OnFramesChanged) OnFramesChanged();
    QMessageBox::information(this, windowTitle(), "Done !", QMessageBox::Ok);
}

void TApplyToAllForm::ApplyTo(TMyGifAnimation* record) {
    if (TopBox->isChecked()) record->Top = int16_t(TopEdit->value());
    if (LeftBox->isChecked()) record->Left = int16_t(LeftEdit->value());
    if (DelayBox->isChecked()) record->Delay = uint16_t(DelaySpin->value());
    if (DisPosBox->isChecked() && Dispos->currentIndex() >= 0)
        record->Disposal = kDisposalOfItem[Dispos->currentIndex()];
    if (TransBox->isChecked()) {
        record->HasTransparency = HasTransparency->isChecked() ? 1 : 0;
        // The transparent entry shows as the window when it is see-through
        // and as the background otherwise.
        const COLORREF colour =
            ColorToRGB(HasTransparency->isChecked() ? WindowFaceColor : BackgroundColor);
        const auto dib = WorkCopy(record->DibHandle);
        if (HPALETTE palette = dib->Dib() ? dib->GetPalette() : 0) {
            const PALETTEENTRY entry{GetRValue(colour), GetGValue(colour), GetBValue(colour), 0};
            if (SetPaletteEntries(palette, record->TransparentIndex, 1, &entry) == 1) {
                dib->SetPalette(palette);
                GivePicture(record, CopyOf(*dib));
            }
        }
    }
    if (IntLaBox->isChecked()) record->Interlaced = InterlacedBox->isChecked() ? 1 : 0;
    if (PalBox->isChecked()) record->UseLocalPalette = LocalPal->isChecked() ? 1 : 0;
    if (ColBox->isChecked()) {
        const int bits = BitsOf(record->DibHandle);
        if (Col16->isChecked() && bits >= 8) {
            const DllSP96::TSortDither dither = GRAY->isChecked()     ? DllSP96::PV_GRAYSCALE
                                                : FLOYD->isChecked()  ? DllSP96::PV_FLOYD
                                                : BURKES->isChecked() ? DllSP96::PV_BURKES
                                                                      : DllSP96::PV_BAYER;
            HGLOBAL copy = DuplicateGlobalBlock(record->DibHandle);
            HGLOBAL reduced = copy ? DllSP96::PVReduceColors(copy, 16, dither) : 0;
            if (reduced != copy) zp::GlobalBlock::freeFully(copy);
            if (GivePicture(record, reduced)) record->LocalColors = ColourCountField(16);
        } else if (col256->isChecked() && bits > 0 && bits < 8) {
            // The colours stay what they were; the table grows to 256 entries.
            if (GivePicture(record, DllSP96::IncreaseColors(record->DibHandle, 8)))
                record->LocalColors = ColourCountField(256);
        }
    }
}
