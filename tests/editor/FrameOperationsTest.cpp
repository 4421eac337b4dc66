// The editor's palette panel and its operations on existing frames, driven
// through the real dialogs: the palette manager, apply-to-selected, resize,
// crop, rotate and text.
#include "EditorTestSupport.h"
#include "WidgetSupport.h"
#include "app/TYesNo.h"
#include "app/dialogs/ModalDriver.h"
#include "editor/TApplyToAllForm.h"
#include "editor/TPaintBox.h"
#include "editor/TPalMan.h"
#include "imaging/common/DibClipboard.h"
#include "manipulation/TCropForm.h"
#include "manipulation/TResizeForm.h"
#include "manipulation/TRotateForm.h"
#include "manipulation/TTOptionForm.h"
#include "platform/Gdi.h"
#include "platform/GlobalBlock.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

using editortest::EditorOn;
using editortest::Press;

RGBQUAD Entry(HGLOBAL dib, int index) {
    zp::GlobalLockGuard lock(dib);
    return reinterpret_cast<const RGBQUAD*>(lock.as<uint8_t>() + 40)[index];
}

int BitsOf(HGLOBAL dib) {
    zp::GlobalLockGuard lock(dib);
    return lock.as<BITMAPINFOHEADER>()->biBitCount;
}

QByteArray Bytes(HGLOBAL dib) {
    zp::GlobalLockGuard lock(dib);
    return QByteArray(lock.as<const char>(), qsizetype(GlobalSize(dib)));
}

void AnswerYes() {
    dialogtest::OnModal([](QWidget* w) { static_cast<TYesNo*>(w)->BitBtn1->click(); });
}

// The message box's Yes, then its "Done !" OK.
void AnswerYesThenOk() {
    dialogtest::OnModal([](QWidget* w) {
        static_cast<QMessageBox*>(w)->button(QMessageBox::Yes)->click();
        dialogtest::OnModal([](QWidget* done) {
            EXPECT_EQ(static_cast<QMessageBox*>(done)->text(), "Done !");
            static_cast<QMessageBox*>(done)->button(QMessageBox::Ok)->click();
        });
    });
}

TMyGifAnimation* Gray(int w, int h, int bits, const std::function<uint8_t(int, int)>& pixel,
                      const std::function<RGBQUAD(int)>& colour) {
    TMyGifAnimation* r = fixtures::frame(w, h, bits, pixel, colour);
    r->ScreenWidth = uint16_t(w);
    r->ScreenHeight = uint16_t(h);
    return r;
}

} // namespace

TEST(EditorPalette, PickingApplyingAndAutoApply) {
    testsupport::widgetApp();
    EditorOn e(2);
    e.frames[1]->HasTransparency = 1;
    e.frames[1]->TransparentIndex = 16;
    e.click(1);
    TGifEdit& edit = e.edit;
    // Past the 16th cell is the next row's first entry; past the 16th row
    // the index wraps to the top.
    Press(edit.pbPalette, QPoint(edit.FCellWidth * 16 + 1, 0), Qt::LeftButton);
    EXPECT_EQ(edit.FPaletteIndex, 16);
    EXPECT_EQ(edit.lblPalText->text(), "Color Index: (16)");
    const RGBQUAD stored = Entry(e.frames[1]->DibHandle, 16);
    EXPECT_EQ(edit.trbRed->value(), stored.rgbRed);
    EXPECT_EQ(edit.trbBlue->value(), stored.rgbBlue);

    // Moving the bars only shows the colour; the panel stores it.
    const HGLOBAL before = e.frames[1]->DibHandle;
    edit.trbRed->setValue(1);
    edit.trbGreen->setValue(2);
    edit.trbBlue->setValue(3);
    EXPECT_EQ(Entry(e.frames[1]->DibHandle, 16).rgbRed, stored.rgbRed);
    Press(edit.pnlColor, QPoint(2, 2), Qt::LeftButton);
    const RGBQUAD applied = Entry(e.frames[1]->DibHandle, 16);
    EXPECT_EQ(applied.rgbRed + applied.rgbGreen * 256 + applied.rgbBlue * 65536,
              1 + 2 * 256 + 3 * 65536);
    EXPECT_NE(e.frames[1]->DibHandle, before);
    EXPECT_EQ(e.frames[1]->UseLocalPalette, 1);
    EXPECT_EQ(e.frames[1]->LocalColors, 255) << "256 colours";
    EXPECT_EQ(edit.Panel6->palette().color(QPalette::Window), QColor(1, 2, 3))
        << "the transparent entry's colour";

    Press(edit.pbPalette, QPoint(1, edit.FCellHeight * 16 + 1), Qt::LeftButton);
    EXPECT_EQ(edit.FPaletteIndex, 0);

    // Auto apply: a pick writes the entry's own colour back and marks the
    // frame's own palette.
    e.click(0);
    edit.AAPl->setChecked(true);
    const RGBQUAD own = Entry(e.frames[0]->DibHandle, 5);
    const HGLOBAL untouched = e.frames[0]->DibHandle;
    Press(edit.pbPalette, QPoint(edit.FCellWidth * 5 + 1, 1), Qt::LeftButton);
    EXPECT_NE(e.frames[0]->DibHandle, untouched);
    const RGBQUAD after = Entry(e.frames[0]->DibHandle, 5);
    EXPECT_EQ(std::tie(after.rgbRed, after.rgbGreen, after.rgbBlue),
              std::tie(own.rgbRed, own.rgbGreen, own.rgbBlue));
    EXPECT_EQ(e.frames[0]->UseLocalPalette, 1);
    EXPECT_EQ(e.frames[0]->LocalColors, 255);
}

// The reference is the caret frame's palette: entry k is grey k, except
// entry 0x25, which is red.
TEST(EditorPalette, OptimiseRemapsOnlyTheOtherSelectedFrames) {
    testsupport::widgetApp();
    const auto reference = [](int c) {
        return c == 0x25 ? RGBQUAD{0, 0, 255, 0} : RGBQUAD{uint8_t(c), uint8_t(c), uint8_t(c), 0};
    };
    const auto pattern = [](int x, int y) { return uint8_t((x + y) % 4); };
    EditorOn e(std::vector<TMyGifAnimation*>{
        Gray(8, 4, 8, pattern, reference),
        Gray(8, 4, 8, pattern,
             [](int c) {
                 return RGBQUAD{uint8_t(255 - c), uint8_t(255 - c), uint8_t(255 - c), 0};
             }),
        Gray(8, 4, 4, pattern,
             [](int c) {
                 return c == 3 ? RGBQUAD{0, 0, 250, 0}
                               : RGBQUAD{uint8_t(c * 16), uint8_t(c * 16), uint8_t(c * 16), 0};
             }),
        Gray(8, 4, 8, pattern, reference)});
    e.frames[1]->UseLocalPalette = 1;
    e.click(0);
    for (int i : {1, 2})
        e.edit.GifNameBox->item(i)->setSelected(true);
    const QByteArray caret = Bytes(e.frames[0]->DibHandle);
    const QByteArray unselected = Bytes(e.frames[3]->DibHandle);

    dialogtest::OnModal([](QWidget* w) {
        auto* dialog = static_cast<TPalMan*>(w);
        EXPECT_TRUE(dialog->OptimzePalette->isChecked());
        AnswerYes();
        dialog->OKBtn->click();
    });
    e.edit.OptPalettesClick();

    EXPECT_EQ(Bytes(e.frames[0]->DibHandle), caret);
    EXPECT_EQ(Bytes(e.frames[3]->DibHandle), unselected);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(fixtures::indexAt(e.frames[1]->DibHandle, x, 0), 255 - x) << x;
    EXPECT_EQ(Entry(e.frames[1]->DibHandle, 0x25).rgbRed, 255) << "the reference's table";
    EXPECT_EQ(e.frames[1]->UseLocalPalette, 0);
    // 4 bits: grey 16 is reference entry 16, kept to its low nibble 0; the
    // red entry 3 becomes 0x25, kept as 5.
    EXPECT_EQ(fixtures::indexAt(e.frames[2]->DibHandle, 1, 0), 0);
    EXPECT_EQ(fixtures::indexAt(e.frames[2]->DibHandle, 3, 0), 5);
    EXPECT_EQ(BitsOf(e.frames[2]->DibHandle), 4);
    EXPECT_EQ(e.edit.FCurrentFrame, e.frames[0]);
}

TEST(EditorApplyToSelected, FlagsChooseWhatChanges) {
    testsupport::widgetApp();
    EditorOn e(4);
    for (TMyGifAnimation* r : e.frames) {
        r->HasTransparency = 0;
        r->TransparentIndex = 5;
    }
    TApplyToAllForm dialog;
    dialog.SetFrames(&e.frames);
    dialog.WindowFaceColor = RGB(10, 20, 30);
    dialog.BackgroundColor = RGB(200, 100, 50);
    dialog.GifNameBox->item(1)->setSelected(true);
    dialog.GifNameBox->item(2)->setSelected(true);

    // Only the delay is flagged: nothing else of any record changes.
    std::vector<TMyGifAnimation> before;
    for (const TMyGifAnimation* r : e.frames)
        before.push_back(*r);
    dialog.DelaySpin->setValue(250);
    dialog.TopEdit->setValue(9);
    dialog.HasTransparency->setChecked(true);
    dialog.DelayBox->setChecked(true);
    AnswerYesThenOk();
    dialog.BitBtn1Click();
    for (size_t i = 0; i < e.frames.size(); ++i) {
        const bool selected = i == 1 || i == 2;
        EXPECT_EQ(e.frames[i]->Delay, selected ? 250 : before[i].Delay) << i;
        EXPECT_EQ(e.frames[i]->Top, before[i].Top);
        EXPECT_EQ(e.frames[i]->HasTransparency, 0);
        EXPECT_EQ(e.frames[i]->DibHandle, before[i].DibHandle);
    }

    // Transparency on paints entry 5 in the window face, off in the background.
    dialog.DelayBox->setChecked(false);
    dialog.TransBox->setChecked(true);
    for (bool on : {true, false}) {
        dialog.HasTransparency->setChecked(on);
        AnswerYesThenOk();
        dialog.BitBtn1Click();
        const RGBQUAD entry = Entry(e.frames[2]->DibHandle, 5);
        EXPECT_EQ(e.frames[2]->HasTransparency, on ? 1 : 0);
        EXPECT_EQ(RGB(entry.rgbRed, entry.rgbGreen, entry.rgbBlue),
                  on ? RGB(10, 20, 30) : RGB(200, 100, 50));
    }

    // Grey 16-colour conversion takes 8-bit frames only.
    dialog.TransBox->setChecked(false);
    dialog.ColBox->setChecked(true);
    dialog.GRAY->setChecked(true);
    TMyGifAnimation* four = fixtures::frame(
        20, 10, 4, [](int x, int) { return uint8_t(x % 16); },
        [](int c) {
            return RGBQUAD{uint8_t(c), 0, 0, 0};
        });
    zp::GlobalBlock::freeFully(e.frames[2]->DibHandle);
    e.frames[2]->DibHandle = std::exchange(four->DibHandle, 0);
    delete four;
    const QByteArray fourBits = Bytes(e.frames[2]->DibHandle);
    AnswerYesThenOk();
    dialog.BitBtn1Click();
    EXPECT_EQ(BitsOf(e.frames[1]->DibHandle), 4);
    const RGBQUAD grey = Entry(e.frames[1]->DibHandle, 1);
    EXPECT_TRUE(grey.rgbRed == grey.rgbGreen && grey.rgbGreen == grey.rgbBlue);
    EXPECT_EQ(Bytes(e.frames[2]->DibHandle), fourBits);

    // "256 Colors" switches the dithers off.
    dialog.col256->click();
    EXPECT_FALSE(dialog.FLOYD->isEnabled());
    dialog.Col16->click();
    EXPECT_TRUE(dialog.FLOYD->isEnabled());
}

TEST(EditorFrameOperations, ResizeCropAndRotateChangeTheFramesAsked) {
    testsupport::widgetApp();
    EditorOn e(3, 20, 10);
    TGifEdit& edit = e.edit;
    e.click(1);
    edit.GifNameBox->item(0)->setSelected(true);
    const auto size = [&e](int i) { return QSize(e.frames[i]->Width, e.frames[i]->Height); };

    // This frame only: the screen keeps its size.
    dialogtest::OnModal([](QWidget* w) {
        auto* dialog = static_cast<TResizeForm*>(w);
        EXPECT_EQ(dialog->NewWidth(), 20);
        dialog->WBar->setValue(40);
        dialog->ThisFrameBtn->click();
    });
    edit.Resize_ImageClick();
    EXPECT_EQ(size(1), QSize(40, 10));
    EXPECT_EQ(size(0), QSize(20, 10));
    EXPECT_EQ(e.frames[0]->ScreenWidth, 20);
    EXPECT_EQ(edit.StatusPanels[0]->text(), "W:40 * H:10") << "the panels show the new picture";

    // All selected frames: frame 0 gives the screen its new size.
    dialogtest::OnModal([](QWidget* w) {
        auto* dialog = static_cast<TResizeForm*>(w);
        dialog->WBar->setValue(10);
        dialog->Hbar->setValue(6);
        dialog->AllFramesBtn->click();
    });
    edit.Resize_ImageClick();
    EXPECT_EQ(size(0), QSize(10, 6));
    EXPECT_EQ(size(1), QSize(10, 6));
    EXPECT_EQ(size(2), QSize(20, 10));
    EXPECT_EQ(e.frames[0]->ScreenWidth, 10);
    EXPECT_EQ(e.frames[0]->ScreenHeight, 6);

    // Rotation turns the current frame only, whatever is selected.
    dialogtest::OnModal([](QWidget* w) {
        auto* dialog = static_cast<TRotateForm*>(w);
        dialog->TrackBar1->setValue(90);
        dialog->OKBtn->click();
    });
    edit.RotateFrameClick();
    EXPECT_EQ(size(1), QSize(6, 10));
    EXPECT_EQ(size(0), QSize(10, 6));

    // A band drawn from its corner back to its anchor crops the same pixels
    // 1:1 from every selected frame.
    e.click(2);
    edit.GifNameBox->item(0)->setSelected(true);
    const int topLeft = fixtures::indexAt(e.frames[2]->DibHandle, 2, 1);
    dialogtest::OnModal([](QWidget* w) {
        auto* dialog = static_cast<TCropForm*>(w);
        dialog->PMultiImage1Rubberband(8, 5, 2, 1);
        dialog->AllFramesBtn->click();
    });
    edit.CropImageClick();
    EXPECT_EQ(size(2), QSize(6, 4));
    EXPECT_EQ(size(0), QSize(6, 4));
    EXPECT_EQ(fixtures::indexAt(e.frames[2]->DibHandle, 0, 0), topLeft);
    for (int x = 0; x < 6; ++x)
        EXPECT_EQ(fixtures::indexAt(e.frames[2]->DibHandle, x, 0), (x + 2 + 2) % 4) << x;

    // Cancelled or without a band: nothing changes.
    dialogtest::OnModal([](QWidget* w) { static_cast<TCropForm*>(w)->ThisFrameBtn->click(); });
    edit.CropImageClick();
    EXPECT_EQ(size(2), QSize(6, 4));

    // One pixel at the top left is that pixel, not the picture squeezed.
    const int corner = fixtures::indexAt(e.frames[2]->DibHandle, 0, 0);
    dialogtest::OnModal([](QWidget* w) {
        auto* dialog = static_cast<TCropForm*>(w);
        dialog->PMultiImage1Rubberband(0, 0, 1, 1);
        dialog->ThisFrameBtn->click();
    });
    edit.CropImageClick();
    EXPECT_EQ(size(2), QSize(1, 1));
    EXPECT_EQ(fixtures::indexAt(e.frames[2]->DibHandle, 0, 0), corner);
}

TEST(EditorFrameOperations, TextIsBurntIntoTheSelectedFramesWhereItShows) {
    testsupport::widgetApp();
    EditorOn e(4, 60, 30);
    TGifEdit& edit = e.edit;
    e.frames[2]->Left = 10;
    e.click(0);
    for (int i : {1, 2})
        edit.GifNameBox->item(i)->setSelected(true);
    const QByteArray unselected = Bytes(e.frames[3]->DibHandle);
    edit.TextOnImageClick();
    ASSERT_TRUE(edit.TextLabel->isVisibleTo(&edit));
    edit.TextLabel->move(12, 4);

    // "Apply to View only" changes the label and no frame.
    dialogtest::OnModal([](QWidget* w) {
        auto* dialog = static_cast<TTOptionForm*>(w);
        EXPECT_EQ(dialog->Edit1->text(), "Text on Image");
        dialog->Edit1->setText("WWWW");
        dialog->ViewBtn->click();
    });
    edit.TextOptionsClick();
    EXPECT_EQ(edit.TextLabel->text(), "WWWW");
    const QByteArray first = Bytes(e.frames[0]->DibHandle);

    // An opaque background in palette entry 9's colour: where the label
    // lies, entry 9 appears; the column left of it keeps the frame's own.
    const RGBQUAD nine = Entry(e.frames[0]->DibHandle, 9);
    edit.FTextBackColor = QColor(nine.rgbRed, nine.rgbGreen, nine.rgbBlue);
    dialogtest::OnModal([](QWidget* w) {
        auto* dialog = static_cast<TTOptionForm*>(w);
        dialog->TransparentBox->setChecked(false);
        dialog->CommitBtn->click();
    });
    edit.TextOptionsClick();
    EXPECT_FALSE(edit.TextLabel->isVisible());
    EXPECT_EQ(Bytes(e.frames[3]->DibHandle), unselected);
    EXPECT_NE(Bytes(e.frames[0]->DibHandle), first);
    const auto nines = [&e](int frame, int x, int width) {
        int count = 0;
        for (int y = 4; y < 8; ++y)
            for (int dx = 0; dx < width; ++dx)
                count += fixtures::indexAt(e.frames[frame]->DibHandle, x + dx, y) == 9;
        return count;
    };
    // The text lands at (12, 4) on the screen: inside frame 2, which lies
    // 10 pixels to the right, that is 10 pixels further left.
    EXPECT_GT(nines(0, 12, 8), 12);
    EXPECT_EQ(nines(0, 11, 1), 0);
    EXPECT_GT(nines(2, 2, 8), 12);
    EXPECT_EQ(nines(2, 1, 1), 0);
}

TEST(EditorFrameOperations, CopyPutsTheFrameOnTheClipboardAndCutDeletesIt) {
    testsupport::widgetApp();
    EditorOn e(2);
    e.click(1);
    const QByteArray picture = Bytes(e.frames[1]->DibHandle);
    e.edit.ClipCopyClick();
    zp::GlobalBlock taken(dibclip::TakeDib());
    ASSERT_TRUE(taken);
    EXPECT_EQ(Bytes(taken.get()).left(picture.size()), picture);

    e.click(0);
    AnswerYes();
    e.edit.CutClick();
    EXPECT_EQ(e.frames.size(), 1u);
    zp::GlobalBlock cut(dibclip::TakeDib());
    ASSERT_TRUE(cut);
    EXPECT_NE(Bytes(cut.get()).left(picture.size()), picture);
}
