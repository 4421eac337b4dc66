#include "manipulation/TCropForm.h"

#include "app/ModalResult.h"
#include "imaging/common/StretchBlit.h"
#include "imaging/still/TPMultiImage.h"
#include "manipulation/PreviewPlacement.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Real to whole pixels: this dialog rounds (the component truncates).
int Round(double value) {
    return int(std::lround(value));
}

HPALETTE CopyPalette(HPALETTE from) {
    const uint32_t n = GetPaletteEntries(from, 0, 0, nullptr);
    if (n == 0) return 0;
    std::vector<uint8_t> storage(sizeof(LOGPALETTE) + n * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(storage.data());
    log->palVersion = 0x300;
    log->palNumEntries = uint16_t(n);
    GetPaletteEntries(from, 0, n, log->palPalEntry);
    return CreatePalette(log);
}

} // namespace

const QString TCropForm::SelectText =
    "Click in the image and drag cursor to select an area to crop";
const QString TCropForm::AcceptText = "Select Ok to accept or Reset to try again";

TCropForm::TCropForm(QWidget* parent)
    : TToolDialog(parent, "CropForm", "Crop Image", 433, 337, "___Crop_the_selected_frames.") {
    MakePreview(Client, Panel1, ScrollBox1, PMultiImage1);
    PMultiImage1->OnRubberband = [this](TPMultiImage*, TMouseButton, TShiftState, int x, int y,
                                        int xx, int yy) { PMultiImage1Rubberband(x, y, xx, yy); };

    Label1 = Hinted(new QLabel(SelectText, Client), "Label1");
    Label1->setGeometry(8, 272, 417, 17);

    StretchBtn = Hinted(new QToolButton(Client), "StretchBtn", "Stretch Image");
    StretchBtn->setText("Stretch");
    StretchBtn->setCheckable(true);
    StretchBtn->setGeometry(8, 300, 75, 25);
    connect(StretchBtn, &QToolButton::clicked, this, &TCropForm::StretchBtnClick);
    ResetBtn = Hinted(new QPushButton("Reset", Client), "ResetBtn", "Reset the image");
    ResetBtn->setGeometry(91, 300, 75, 25);
    connect(ResetBtn, &QPushButton::clicked, this, &TCropForm::ResetBtnClick);
    AddFrameButtons(300, 174, 257, 350, AllFrames, AllFramesBtn, ThisFrameBtn, CancelBtn);
}

void TCropForm::SetFrame(const zp::TBitmap& frame) {
    zp::TBitmap picture;
    if (DllSP96::CopyBitmap(frame, picture)) PMultiImage1->Picture().AssignBitmap(picture);
    DllSP96::CopyBitmap(frame, FResetCopy);
}

void TCropForm::PMultiImage1Rubberband(int x, int y, int xx, int yy) {
    TPicture& picture = PMultiImage1->Picture();
    if (!picture.HasBitmapHandle()) return;
    const int frameWidth = picture.Width(), frameHeight = picture.Height();
    // A band drawn up or left of its anchor is the same band.
    if (xx < x) std::swap(x, xx);
    if (yy < y) std::swap(y, yy);
    // Control pixels to frame pixels: 1:1 at natural size, else by the
    // panel the stretched image fills.
    double a = 1, d = 1;
    int spanWidth = frameWidth, spanHeight = frameHeight;
    if (PMultiImage1->Stretch()) {
        const QRect panel = Panel1->contentsRect();
        if (panel.isEmpty()) return;
        spanWidth = panel.width();
        spanHeight = panel.height();
        a = double(frameWidth) / spanWidth;
        d = double(frameHeight) / spanHeight;
    }
    // A band dragged past the image ends at its edge.
    x = std::clamp(x, 0, spanWidth);
    xx = std::clamp(xx, 0, spanWidth);
    y = std::clamp(y, 0, spanHeight);
    yy = std::clamp(yy, 0, spanHeight);
    const int width = Round(a * xx - a * x), height = Round(d * yy - d * y);
    if (width <= 0 || height <= 0) return;
    const DllSP96::Area source{
        std::min(Round(a * x), frameWidth), std::min(Round(d * y), frameHeight),
        std::min(Round(a * xx), frameWidth), std::min(Round(d * yy), frameHeight)};
    if (source.Right <= source.Left || source.Bottom <= source.Top) return;

    zp::TBitmap cropped;
    cropped.setHandle(CreateDeviceBitmap(width, height));
    if (cropped.empty()) return;
    const zp::PixelPlane from{picture.Bitmap().bits(), frameWidth, frameHeight, frameWidth};
    const zp::PixelPlane to{cropped.bits(), width, height, width};
    zp::StretchPixels(
        to, QRect(0, 0, width, height), from,
        QRect(source.Left, source.Top, source.Right - source.Left, source.Bottom - source.Top),
        zp::StretchMode::ColorOnColor);
    cropped.setPalette(CopyPalette(picture.Bitmap().palette()));
    Source = source;
    DestWidth = width;
    DestHeight = height;
    picture.AssignBitmap(cropped);
    PMultiImage1->AllowRubberBand = false;
    Label1->setText(AcceptText);
}

void TCropForm::StretchBtnClick() {
    PMultiImage1->SetStretch(StretchBtn->isChecked());
    PlacePreview(PMultiImage1, ScrollBox1, Panel1);
}

void TCropForm::ResetBtnClick() {
    zp::TBitmap picture;
    if (DllSP96::CopyBitmap(FResetCopy, picture)) PMultiImage1->Picture().AssignBitmap(picture);
    Label1->setText(SelectText);
    PMultiImage1->AllowRubberBand = true;
    Source = DllSP96::Area{};
    DestWidth = DestHeight = 0;
}
