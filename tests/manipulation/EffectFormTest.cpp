// The effects dialog driven as a user drives it: pages, bars, the
// selection, Preview / Apply / Stop, the pending question, the palette
// page and its files, and the settings file.
#include "ManipulationSupport.h"
#include "app/dialogs/ModalDriver.h"
#include "bindings/EffectsBinding.h"
#include "imaging/common/DibClipboard.h"
#include "imaging/common/DibImage.h"
#include "manipulation/EffectPages.h"
#include "manipulation/PVPaletteFile.h"
#include "manipulation/TEffectForm.h"
#include "platform/GlobalBlock.h"
#include "platform/Profile.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <vector>

namespace {

// A picture of the coordinate pattern at the depth asked (a new block).
HGLOBAL Picture(int bits, int w = 48, int h = 32) {
    zp::TBitmap frame;
    manip::MakeFrame(frame, w, h);
    return DllSP96::IDDBtoDIB(frame, bits);
}

QImage Pixels(HGLOBAL dib) {
    zp::GlobalLockGuard lock(dib);
    return lock ? dibimage::ToImage(lock.as<BITMAPINFOHEADER>()) : QImage();
}

std::vector<uint8_t> Bytes(HGLOBAL dib) {
    zp::GlobalLockGuard lock(dib);
    const auto* p = lock.as<uint8_t>();
    return p ? std::vector<uint8_t>(p, p + GlobalSize(dib)) : std::vector<uint8_t>();
}

// A shown dialog on a picture that leaves no settings behind.
struct Form {
    TEffectForm form{nullptr};
    explicit Form(HGLOBAL picture, bool keepSettings = false) {
        testsupport::widgetApp();
        form.SetWorkingDib(picture);
        form.SaveSettingsOnExit->setChecked(keepSettings);
        form.show();
        QApplication::processEvents();
    }
};

void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
}

TEST(EffectForm, EveryPageRunsOnEveryDepth) {
    for (int bits : {1, 4, 8, 24}) {
        Form f(Picture(bits));
        TEffectForm& d = f.form;
        for (const effectpages::Page& page : effectpages::Pages()) {
            const QString caption = page.caption;
            if (caption == "Transitions" || caption == "Color Palette") continue;
            SCOPED_TRACE(std::to_string(bits) + " bits, " + page.caption);
            d.ShowPage(caption);
            d.SetWorkingDib(Picture(bits));
            ASSERT_EQ(d.CurrentPage(), caption);
            if (caption == "Borders") d.BorderShape->setCurrentIndex(int(shStar));
            if (caption == "Paste Image") {
                zp::GlobalBlock source(Picture(24, 10, 10));
                ASSERT_TRUE(dibclip::PutDib(source.get()));
                d.PasteFromClipboardClick();
                ASSERT_NE(d.PasteSource(), HGLOBAL(0));
            } else {
                d.PreviewClick();
                EXPECT_TRUE(d.ActionPending());
                EXPECT_FALSE(Pixels(d.PVPImage->DibBlock()).isNull());
            }
            const auto before = Bytes(d.WorkingDib());
            d.ApplyClick();
            EXPECT_FALSE(d.ActionPending());
            ASSERT_FALSE(Pixels(d.WorkingDib()).isNull());
            // Apply reached the picture (default values that change nothing aside).
            const bool neutral =
                caption == "Mirror" || caption == "Rotate" || caption == "Bright" ||
                caption == "Dark" || caption == "Sharp" || caption == "Soft" ||
                caption == "Despeckle" || caption == "Spray" || caption == "WhirlPool" ||
                caption == "Pinch Hole" || caption == "Bleed" || caption == "Hue and Saturation" ||
                caption == "Gamma" || caption == "Enhance" || (caption == "Color" && bits <= 8) ||
                caption == "Extrude" || caption == "Motion Blur" || caption == "Jiggle" ||
                caption == "Blur" || caption == "Oil Paint" || bits == 1;
            if (!neutral) {
                EXPECT_NE(Bytes(d.WorkingDib()), before);
            }
        }
    }
}

TEST(EffectForm, EachPreviewStartsFromTheUnchangedPicture) {
    Form f(Picture(24));
    TEffectForm& d = f.form;
    d.ShowPage("Bright");
    d.Bars.at("BrightBar")->setValue(100);
    d.PreviewClick();
    const QImage once = Pixels(d.PVPImage->DibBlock());
    d.Bars.at("BrightBar")->setValue(50);
    d.PreviewClick();
    d.Bars.at("BrightBar")->setValue(100);
    d.PreviewClick();
    EXPECT_EQ(Pixels(d.PVPImage->DibBlock()), once);
    d.ReloadClick();
    EXPECT_NE(Pixels(d.PVPImage->DibBlock()), once);
}

TEST(EffectForm, CloseAndSaveAsksOnlyWhileAPreviewIsPending) {
    struct Row {
        bool preview, apply;
        QMessageBox::StandardButton answer; // NoButton: no question expected
        bool closes;
    } rows[] = {{true, false, QMessageBox::No, false},
                {true, false, QMessageBox::Yes, true},
                {true, true, QMessageBox::NoButton, true},
                {false, false, QMessageBox::NoButton, true}};
    for (const Row& row : rows) {
        Form f(Picture(24));
        TEffectForm& d = f.form;
        d.ShowPage("Invert");
        if (row.preview) d.PreviewClick();
        if (row.apply) d.ApplyClick();
        bool asked = false;
        if (row.answer != QMessageBox::NoButton)
            dialogtest::OnModal([&asked, row](QWidget* w) {
                auto* box = qobject_cast<QMessageBox*>(w);
                ASSERT_NE(box, nullptr);
                EXPECT_EQ(box->text(),
                          "There is still an action pending. Are you sure you want to exit ?");
                asked = true;
                box->button(row.answer)->click();
            });
        d.CloseAndSaveClick();
        EXPECT_EQ(asked, row.answer != QMessageBox::NoButton);
        EXPECT_EQ(d.result() == 1, row.closes);
    }
}

TEST(EffectForm, ASelectionOutsideIsLimitedOnApplyButNotOnPaste) {
    const int w = 48, h = 32;
    {
        Form f(Picture(24, w, h));
        f.form.ShowPage("Gray Area");
        f.form.SetSelection(-10, -10, w / 2, h + 10);
        const QImage before = Pixels(f.form.WorkingDib());
        f.form.ApplyClick();
        const QImage after = Pixels(f.form.WorkingDib());
        EXPECT_EQ(qRed(after.pixel(2, 2)), qBlue(after.pixel(2, 2))) << "grey inside";
        EXPECT_EQ(after.pixel(w - 1, 2), before.pixel(w - 1, 2)) << "kept outside";
    }
    // Red left half, blue right half, pasted with its left half off the
    // picture: the picture's left edge shows the source's right half.
    Form f(Picture(24, w, h));
    QImage halves(20, 10, QImage::Format_RGB32);
    halves.fill(Qt::red);
    for (int y = 0; y < 10; ++y)
        for (int x = 10; x < 20; ++x)
            halves.setPixel(x, y, qRgb(0, 0, 255));
    zp::TBitmap bitmap;
    bitmap.setHandle(ImageToDeviceBitmap(halves));
    zp::GlobalBlock source(DllSP96::IDDBtoDIB(bitmap, 24));
    ASSERT_TRUE(dibclip::PutDib(source.get()));
    f.form.ShowPage("Paste Image");
    f.form.PasteFromClipboardClick();
    f.form.SetSelection(-w / 2, 0, w / 2, h);
    f.form.ApplyClick();
    const QImage after = Pixels(f.form.WorkingDib());
    EXPECT_EQ(after.pixel(2, h / 2), qRgb(0, 0, 255));
    EXPECT_NE(after.pixel(w - 2, h / 2), qRgb(0, 0, 255)) << "nothing pasted past the band";
}

TEST(EffectForm, TypedValuesAreLimitedToTheBar) {
    Form f(Picture(24));
    struct Row {
        const char *bar, *typed, *shown;
        int position;
    } rows[] = {{"BlurBar", "500", "100", 100},
                {"BleedBar", "-", "-1", -1},
                {"BleedBar", "-900", "-255", -255},
                {"GammaBar", "3", "10", 10},
                {"rtValueBar", "12.5", "12.5", 125}};
    for (const Row& row : rows) {
        QLineEdit* edit = f.form.Edits.at(effectpages::EditNameOf(row.bar));
        Type(edit, row.typed);
        EXPECT_EQ(edit->text(), row.shown) << row.bar << " " << row.typed;
        EXPECT_EQ(f.form.Bars.at(row.bar)->value(), row.position) << row.bar;
    }
    // Letters never reach the box.
    QLineEdit* blur = f.form.Edits.at("BlurEdit");
    Type(blur, "7x");
    EXPECT_EQ(blur->text(), "7");
}

TEST(EffectForm, ThePalettePageNeedsAPalette) {
    for (int bits : {24, 8}) {
        Form f(Picture(bits));
        f.form.ShowPage("Color Palette");
        EXPECT_EQ(f.form.NoPaletteLabel->isVisibleTo(&f.form), bits > 8);
        EXPECT_FALSE(f.form.PreviewBtn->isEnabled());
        EXPECT_FALSE(f.form.ApplyBtn->isEnabled());
        EXPECT_EQ(f.form.PaletteBox->isEnabled(), bits <= 8);
        if (bits > 8) continue;
        // A moved bar changes the picture's own entry at once.
        f.form.SelectPaletteIndex(3);
        f.form.PalRedBar->setValue(201);
        zp::GlobalLockGuard lock(f.form.WorkingDib());
        EXPECT_EQ(reinterpret_cast<const RGBQUAD*>(lock.as<uint8_t>() + 40)[3].rgbRed, 201);
    }
}

TEST(EffectForm, PaletteFilesKeepEveryColour) {
    zp::GlobalBlock dib(Picture(8));
    zp::GlobalLockGuard lock(dib.get());
    auto* header = lock.as<BITMAPINFOHEADER>();
    auto* table = reinterpret_cast<RGBQUAD*>(lock.as<uint8_t>() + 40);
    const uint32_t count = header->biClrUsed ? header->biClrUsed : 256;
    table[count - 1] = RGBQUAD{1, 2, 3, 0};
    const std::string first = std::string(SettingsFolder()) + "/round.PVP";
    const std::string second = std::string(SettingsFolder()) + "/again.PVP";
    ASSERT_EQ(pvpalette::Write(first, header), "");
    pvpalette::Palette palette;
    ASSERT_EQ(pvpalette::Read(first, palette), "");
    EXPECT_EQ(palette.count, int16_t(count));
    const RGBQUAD last = palette.entries[count - 1];
    EXPECT_EQ(last.rgbRed, 3);
    EXPECT_EQ(last.rgbBlue, 1);
    std::fill(table, table + count, RGBQUAD{9, 9, 9, 0});
    pvpalette::ApplyTo(palette, header);
    ASSERT_EQ(pvpalette::Write(second, header), "");
    QFile a(QString::fromStdString(first)), b(QString::fromStdString(second));
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const QByteArray bytes = a.readAll();
    EXPECT_EQ(bytes.size(), 1047);
    EXPECT_EQ(bytes, b.readAll());

    // A file of the older writers (no mark, the last slot empty) keeps the
    // picture's last entry.
    QByteArray old = bytes;
    old[20] = 0;
    for (int i = 0; i < 4; ++i)
        old[int(23 + 4 * (count - 1) + i)] = 0;
    QFile out(QString::fromStdString(first));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(old);
    out.close();
    ASSERT_EQ(pvpalette::Read(first, palette), "");
    table[count - 1] = RGBQUAD{7, 7, 7, 0};
    pvpalette::ApplyTo(palette, header);
    EXPECT_EQ(table[count - 1].rgbRed, 7);
    EXPECT_EQ(table[0].rgbRed, uint8_t(bytes[23]));
    EXPECT_EQ(pvpalette::Read(first + ".none", palette), "Could not open file!");
}

TEST(EffectForm, SettingsAreKeptOrDeleted) {
    const QString file = QString::fromStdString(TEffectForm::SettingsPath());
    QFile::remove(file);
    {
        Form f(Picture(24), true);
        f.form.Bars.at("BlurBar")->setValue(40);
        f.form.ShowPage("Blur");
    }
    {
        Form f(Picture(24), true);
        EXPECT_EQ(f.form.Bars.at("BlurBar")->value(), 40);
        EXPECT_EQ(f.form.CurrentPage(), "Blur");
        f.form.ResetToDefault->trigger();
        EXPECT_EQ(f.form.Bars.at("BlurBar")->value(), 1);
        f.form.SaveSettingsOnExit->trigger(); // unchecked: the file goes
    }
    EXPECT_FALSE(QFile::exists(file));
    Form f(Picture(24));
    EXPECT_TRUE(QFile::exists(file)) << "the defaults are written again";
    char value[16];
    GetPrivateProfileString("DEF_FL_EDIT", "BlurEdit", "", value, sizeof value,
                            TEffectForm::SettingsFileName);
    EXPECT_STREQ(value, "1");
}

TEST(EffectForm, StopLeavesThePictureAsItWas) {
    for (const char* page : {"Blur", "Hue and Saturation", "Warp"}) {
        Form f(Picture(24, 300, 200));
        TEffectForm& d = f.form;
        d.ShowPage(page);
        d.Bars.at("BlurBar")->setValue(100);
        d.Bars.at("hsSatBar")->setValue(0);
        const auto before = Bytes(d.WorkingDib());
        QTimer::singleShot(0, d.StopBtn, &QToolButton::click);
        d.ApplyClick();
        EXPECT_EQ(Bytes(d.WorkingDib()), before) << page;
        EXPECT_FALSE(d.StopBtn->isEnabled());
        EXPECT_TRUE(d.ApplyBtn->isEnabled());
    }
}

} // namespace

namespace {

TEST(EffectForm, ScannerButtonsWaitForTheirHooks) {
    {
        Form f(Picture(24));
        f.form.ShowPage("Paste Image");
        EXPECT_FALSE(f.form.AquireBtn->isEnabled());
        EXPECT_FALSE(f.form.SelectTwainBtn->isEnabled());
    }
    int asked = -1;
    TEffectForm::ScannerAcquire = [&asked](QWidget*, int bits) {
        asked = bits;
        return Picture(24, 12, 8);
    };
    Form f(Picture(24));
    f.form.ShowPage("Paste Image");
    ASSERT_TRUE(f.form.AquireBtn->isEnabled());
    f.form.AquireBtn->click();
    TEffectForm::ScannerAcquire = nullptr;
    EXPECT_EQ(asked, 24) << "the screen's depth";
    EXPECT_EQ(Pixels(f.form.PasteSource()).size(), QSize(12, 8));
}

} // namespace
