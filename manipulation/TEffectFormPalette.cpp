// The "Color Palette" page: on a picture of 8 bits or fewer the preview and
// the palette box show the working DIB itself, so every change of an entry
// is a change of the picture at once.
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "manipulation/PVPaletteFile.h"
#include "manipulation/TEffectForm.h"
#include "platform/Message.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <cmath>
#include <cstdlib>

namespace {

// Paints and clicks of the palette box go to the form.
class BoxFilter : public QObject {
  public:
    BoxFilter(QObject* parent, std::function<void(QWidget*)> paint,
              std::function<void(QPoint)> press)
        : QObject(parent), FPaint(std::move(paint)), FPress(std::move(press)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            FPaint(static_cast<QWidget*>(watched));
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress) {
            FPress(static_cast<QMouseEvent*>(event)->position().toPoint());
            return true;
        }
        return false;
    }

  private:
    std::function<void(QWidget*)> FPaint;
    std::function<void(QPoint)> FPress;
};

int Nearest(const RGBQUAD* table, int count, int r, int g, int b) {
    int best = 0;
    long bestDistance = -1;
    for (int i = 0; i < count; ++i) {
        const long dr = table[i].rgbRed - r, dg = table[i].rgbGreen - g, db = table[i].rgbBlue - b;
        const long d = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || d < bestDistance) best = i, bestDistance = d;
    }
    return best;
}

// Maps every pixel to the entry of `to` nearest its colour in `from`.
bool Remap(BITMAPINFOHEADER* dib, const RGBQUAD* from, const RGBQUAD* to, int count,
           const std::function<void(int)>& progress) {
    const int bits = dib->biBitCount;
    if (bits != 4 && bits != 8) {
        ShowMessage("Dib is not 8 or 4 bit");
        return false;
    }
    int map[256];
    for (int i = 0; i < (1 << bits); ++i)
        map[i] =
            i < count ? Nearest(to, count, from[i].rgbRed, from[i].rgbGreen, from[i].rgbBlue) : 0;
    const int w = dib->biWidth, h = std::abs(dib->biHeight);
    const size_t stride = ((size_t(w) * size_t(bits) + 31) / 32) * 4;
    auto* rows = reinterpret_cast<uint8_t*>(dib) + dib->biSize + 4 * (size_t(1) << bits);
    if (dib->biClrUsed) rows = reinterpret_cast<uint8_t*>(dib) + dib->biSize + 4 * dib->biClrUsed;
    for (int y = 0; y < h; ++y) {
        uint8_t* row = rows + stride * size_t(y);
        if (bits == 8) {
            for (int x = 0; x < w; ++x)
                row[x] = uint8_t(map[row[x]]);
        } else {
            // Two pixels a byte.
            for (int x = 0; x < (w + 1) / 2; ++x)
                row[x] = uint8_t(map[row[x] >> 4] << 4 | map[row[x] & 15]);
        }
        if (y % 32 == 0) progress(100 * y / std::max(h, 1));
    }
    progress(100);
    return true;
}

} // namespace

void TEffectForm::AddPalettePage(QWidget* page, int y) {
    PaletteBox = new QWidget(page);
    PaletteBox->setObjectName("PaletteBox");
    PaletteBox->setGeometry(8, y, 256, 256);
    PaletteBox->installEventFilter(new BoxFilter(
        PaletteBox, [this](QWidget* box) { PaintPaletteBox(box); },
        [this](QPoint at) { PaletteBoxClicked(at); }));
    y += 262;
    ColorSample = new QLabel(page);
    ColorSample->setObjectName("ColorSample");
    ColorSample->setGeometry(272, 8, 70, 40);
    ColorSample->setAutoFillBackground(true);
    IndexLabel = new QLabel("Color Index: (0)", page);
    IndexLabel->setGeometry(272, 52, 88, 40);
    IndexLabel->setWordWrap(true);
    int by = y;
    for (auto [bar, label, name, caption] :
         {std::tuple{&PalRedBar, &RedLabel, "PalRedBar", "R: "},
          std::tuple{&PalGreenBar, &GreenLabel, "PalGreenBar", "G: "},
          std::tuple{&PalBlueBar, &BlueLabel, "PalBlueBar", "B: "}}) {
        *label = new QLabel(caption, page);
        (*label)->setGeometry(8, by, 60, 22);
        *bar = new QSlider(Qt::Horizontal, page);
        (*bar)->setObjectName(name);
        (*bar)->setRange(0, 255);
        (*bar)->setGeometry(70, by, 270, 22);
        connect(*bar, &QSlider::sliderMoved, this, &TEffectForm::PaletteBarChange);
        connect(*bar, &QSlider::valueChanged, this, [this] {
            if (!FPaletteIndexLoading) PaletteBarChange();
        });
        by += 26;
    }
    PaletteCombo = new QComboBox(page);
    PaletteCombo->setObjectName("PaletteCombo");
    PaletteCombo->addItems({"Create GrayScale Palette and Optimize Image",
                            "Load Palette from File and Optimize Image",
                            "Load Palette from File and Apply", "Save Palette to File"});
    PaletteCombo->setCurrentIndex(0);
    PaletteCombo->setGeometry(8, by + 4, 270, 24);
    PaletteApplyBtn = new QPushButton("Apply", page);
    PaletteApplyBtn->setObjectName("PaletteApplyBtn");
    PaletteApplyBtn->setGeometry(284, by + 4, 60, 24);
    connect(PaletteApplyBtn, &QPushButton::clicked, this, [this] {
        const int choice = PaletteCombo->currentIndex();
        std::string file;
        if (choice == 1 || choice == 2 || choice == 3) {
            QFileDialog dialog(this, "Palette", {}, "Pictavo 3.0 Palette (*.PVP)");
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            dialog.setAcceptMode(choice == 3 ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
            if (choice == 3) dialog.setDefaultSuffix("PVP");
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
            file = dialog.selectedFiles().first().toStdString();
        }
        PaletteApply(file);
    });
    NoPaletteLabel = new QLabel("This image doesn't have a  color palette. Decrease the number of "
                                "colors to 256 or less by clicking on the color tab.",
                                page);
    NoPaletteLabel->setObjectName("NoPaletteLabel");
    NoPaletteLabel->setWordWrap(true);
    NoPaletteLabel->setGeometry(8, by + 34, 340, 48);
    page->setMinimumHeight(by + 90);
}

void TEffectForm::SetupPalettePage(bool onPage) {
    for (QWidget* w : std::initializer_list<QWidget*>{PalRedBar, PalGreenBar, PalBlueBar,
                                                      PaletteBox, PaletteCombo, PaletteApplyBtn})
        w->setEnabled(onPage);
    NoPaletteLabel->setVisible(!onPage);
    const bool wasOn = FPaletteOnPage;
    FPaletteOnPage = onPage;
    if (onPage) {
        PVPImage->SetDib(WorkingDib(), false);
        PVPImage->SetEditDib(WorkingDib());
        const int cells = 16;
        FCellWidth = std::max(PaletteBox->width() / cells, 1);
        FCellHeight = std::max(PaletteBox->height() / cells, 1);
        SelectPaletteIndex(FPaletteIndex);
    } else {
        PVPImage->SetEditDib(0);
        // Leaving the page: the picture may have new colours, so the
        // preview is made again from it; elsewhere it starts unchanged.
        if (wasOn)
            RebuildPreview();
        else if (FPristine)
            PVPImage->SetDib(DuplicateGlobalBlock(FPristine), true);
        FPaletteEdited = false;
    }
    PaletteBox->update();
}

void TEffectForm::PaintPaletteBox(QWidget* box) {
    QPainter p(box);
    p.fillRect(box->rect(), box->palette().color(QPalette::Window));
    const BITMAPINFOHEADER* dib = FPaletteOnPage ? FWork.Dib() : nullptr;
    if (!dib) return;
    const int count = int(FWork.ColorCount());
    const RGBQUAD* table = FWork.ColorTable();
    for (int i = 0; i < count && i < 256; ++i) {
        const QRect cell((i % 16) * FCellWidth + 2, (i / 16) * FCellHeight + 2, FCellWidth - 2,
                         FCellHeight - 2);
        p.fillRect(cell, QColor(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue));
        if (i == FPaletteIndex) {
            p.setPen(Qt::white);
            p.drawRect(cell.adjusted(0, 0, -1, -1));
        }
    }
}

void TEffectForm::PaletteBoxClicked(QPoint at) {
    if (!FPaletteOnPage) return;
    SelectPaletteIndex(at.x() / FCellWidth + (at.y() / FCellHeight) * 16);
}

void TEffectForm::PickPreviewColour(QPoint at) {
    if (!FPaletteOnPage || !FWork.Dib() || FWorkBits >= 16) return;
    const int x = at.x() * FWorkWidth / std::max(PVPImage->width(), 1);
    const int y = at.y() * FWorkHeight / std::max(PVPImage->height(), 1);
    if (x < 0 || y < 0 || x >= FWorkWidth || y >= FWorkHeight) return;
    const size_t stride = size_t(PVTDibCore::StrideFor(FWorkWidth, FWorkBits));
    const int row = FWork.Height() < 0 ? y : FWorkHeight - 1 - y;
    const uint8_t* bytes = FWork.Bits() + stride * size_t(row);
    int index = 0;
    if (FWorkBits == 8) index = bytes[x];
    if (FWorkBits == 4) index = (x % 2 ? bytes[x / 2] & 15 : bytes[x / 2] >> 4);
    if (FWorkBits == 1) index = (bytes[x / 8] >> (7 - x % 8)) & 1;
    SelectPaletteIndex(index);
}

void TEffectForm::SelectPaletteIndex(int index) {
    if (index < 0 || index > 255) return;
    FPaletteIndex = index;
    if (!FPaletteOnPage || !FWork.Dib() || uint32_t(index) >= FWork.ColorCount()) return;
    const RGBQUAD c = FWork.ColorTable()[index];
    FPaletteIndexLoading = true;
    PalRedBar->setValue(c.rgbRed);
    PalGreenBar->setValue(c.rgbGreen);
    PalBlueBar->setValue(c.rgbBlue);
    FPaletteIndexLoading = false;
    RedLabel->setText("R: " + QString::number(c.rgbRed));
    GreenLabel->setText("G: " + QString::number(c.rgbGreen));
    BlueLabel->setText("B: " + QString::number(c.rgbBlue));
    IndexLabel->setText("Color Index: (" + QString::number(index) + ")");
    PaletteBox->update();
}

void TEffectForm::PaletteBarChange() {
    if (!FPaletteOnPage || !FWork.Dib() || uint32_t(FPaletteIndex) >= FWork.ColorCount()) return;
    const int r = PalRedBar->value(), g = PalGreenBar->value(), b = PalBlueBar->value();
    RedLabel->setText("R: " + QString::number(r));
    GreenLabel->setText("G: " + QString::number(g));
    BlueLabel->setText("B: " + QString::number(b));
    IndexLabel->setText("Color Index: (" + QString::number(FPaletteIndex) + ")");
    QPalette look = ColorSample->palette();
    look.setColor(QPalette::Window, QColor(r, g, b));
    ColorSample->setPalette(look);
    FWork.ColorTable()[FPaletteIndex] = RGBQUAD{uint8_t(b), uint8_t(g), uint8_t(r), 0};
    FPaletteEdited = true;
    PaletteBox->update();
    PVPImage->update();
}

void TEffectForm::PaletteApply(const std::string& file) {
    if (!FPaletteOnPage || !FWork.Dib()) return;
    BITMAPINFOHEADER* dib = FWork.Dib();
    const int count = int(FWork.ColorCount());
    RGBQUAD* table = FWork.ColorTable();
    const std::vector<RGBQUAD> before(table, table + count);
    auto progress = [this](int percent) { ProgressCallback(int16_t(percent), this); };
    std::string error;
    switch (PaletteCombo->currentIndex()) {
    case 0: {
        // Greys spread over the whole range: with 16 entries, 0, 17 ... 255.
        std::vector<RGBQUAD> grey(static_cast<size_t>(count), RGBQUAD{0, 0, 0, 0});
        for (int i = 0; i < count; ++i) {
            const auto v = uint8_t(count > 1 ? i * 255 / (count - 1) : 0);
            grey[size_t(i)] = RGBQUAD{v, v, v, 0};
        }
        if (Remap(dib, before.data(), grey.data(), count, progress))
            std::copy(grey.begin(), grey.end(), table);
        break;
    }
    case 1:
    case 2: {
        pvpalette::Palette palette;
        error = pvpalette::Read(file, palette);
        if (!error.empty()) break;
        pvpalette::ApplyTo(palette, dib);
        if (PaletteCombo->currentIndex() == 1 && !Remap(dib, before.data(), table, count, progress))
            std::copy(before.begin(), before.end(), table);
        break;
    }
    case 3:
        error = pvpalette::Write(file, dib);
        break;
    }
    pvStatusText->clear();
    if (!error.empty()) ShowMessage(error.c_str());
    FPaletteEdited = true;
    SelectPaletteIndex(FPaletteIndex);
    PVPImage->update();
}
