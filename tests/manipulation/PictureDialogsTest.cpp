// The crop, resize and rotate dialogs, driven through their controls.
#include "ManipulationSupport.h"
#include "app/ModalResult.h"
#include "app/THelpWindow.h"
#include "manipulation/TCropForm.h"
#include "manipulation/TResizeForm.h"
#include "manipulation/TRotateForm.h"
#include "platform/Module.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QToolButton>
#include <algorithm>
#include <array>
#include <gtest/gtest.h>

using namespace manip;
using Rect4 = std::array<int, 4>; // left, top, right, bottom

namespace {

Rect4 SourceOf(const TCropForm& f) {
    return {f.Source.Left, f.Source.Top, f.Source.Right, f.Source.Bottom};
}

} // namespace

TEST(CropForm, BandCropsThePictureWhicheverWayItIsDrawn) {
    zp::TBitmap frame;
    MakeFrame(frame, 200, 100);
    struct Row {
        const char* name;
        QPoint press, release;
    };
    for (const Row& row :
         {Row{"down-right", {20, 10}, {100, 50}}, Row{"up-left", {100, 50}, {20, 10}},
          Row{"past the image's edge", {150, 60}, {400, 200}}}) {
        SCOPED_TRACE(row.name);
        TCropForm form;
        form.SetFrame(frame);
        Drag(form.PMultiImage1, row.press, row.release);
        const QPoint c = TPMultiImage::RubberBandCornerFor(row.press, row.release.x(),
                                                           row.release.y(), 200, 100);
        const int left = std::clamp(std::min(row.press.x(), c.x()), 0, 200);
        const int right = std::clamp(std::max(row.press.x(), c.x()), 0, 200);
        const int top = std::clamp(std::min(row.press.y(), c.y()), 0, 100);
        const int bottom = std::clamp(std::max(row.press.y(), c.y()), 0, 100);
        EXPECT_EQ(SourceOf(form), (Rect4{left, top, right, bottom}));
        EXPECT_EQ(QSize(form.DestWidth, form.DestHeight), QSize(right - left, bottom - top));
        const QImage shown = form.PMultiImage1->Picture().Image();
        ASSERT_EQ(shown.size(), QSize(right - left, bottom - top));
        EXPECT_EQ(shown.pixel(0, 0), Source(left, top));
        EXPECT_EQ(shown.pixel(right - left - 1, bottom - top - 1), Source(right - 1, bottom - 1));
        EXPECT_FALSE(form.PMultiImage1->AllowRubberBand);
        EXPECT_EQ(form.Label1->text(), TCropForm::AcceptText);
    }
}

TEST(CropForm, EmptyBandChangesNothingAndResetStartsAgain) {
    zp::TBitmap frame;
    MakeFrame(frame, 200, 100);
    TCropForm form;
    form.SetFrame(frame);
    Drag(form.PMultiImage1, {30, 30}, {30, 30});
    EXPECT_EQ(SourceOf(form), (Rect4{0, 0, 0, 0}));
    EXPECT_EQ(form.PMultiImage1->Picture().Width(), 200);
    EXPECT_TRUE(form.PMultiImage1->AllowRubberBand);

    Drag(form.PMultiImage1, {0, 0}, {100, 50});
    ASSERT_EQ(form.PMultiImage1->Picture().Width(), 100);
    Drag(form.PMultiImage1, {0, 0}, {40, 20}); // the band is off
    EXPECT_EQ(form.PMultiImage1->Picture().Width(), 100);

    form.ResetBtn->click();
    EXPECT_EQ(form.PMultiImage1->Picture().Image().pixel(150, 80), Source(150, 80));
    EXPECT_TRUE(form.PMultiImage1->AllowRubberBand);
    EXPECT_EQ(form.Label1->text(), TCropForm::SelectText);
    form.AllFrames = true;
    EXPECT_EQ(PressIn(form, form.ThisFrameBtn), mrOk);
    EXPECT_FALSE(form.AllFrames);
    EXPECT_EQ(SourceOf(form), (Rect4{0, 0, 0, 0}));
    EXPECT_EQ(form.DestWidth + form.DestHeight, 0);
    EXPECT_EQ(PressIn(form, form.AllFramesBtn), mrOk);
    EXPECT_TRUE(form.AllFrames);
}

TEST(CropForm, StretchedFrameTwiceThePanelsSizeGivesTwiceTheBand) {
    testsupport::widgetApp();
    TCropForm form;
    const QSize panel = form.Panel1->contentsRect().size();
    zp::TBitmap frame;
    MakeFrame(frame, 2 * panel.width(), 2 * panel.height());
    form.SetFrame(frame);
    form.StretchBtn->click();
    ASSERT_EQ(form.PMultiImage1->parentWidget(), form.Panel1);
    EXPECT_TRUE(form.ScrollBox1->isHidden());
    EXPECT_EQ(form.PMultiImage1->size(), panel);

    Drag(form.PMultiImage1, {10, 20}, {110, 120});
    const QPoint c =
        TPMultiImage::RubberBandCornerFor({10, 20}, 110, 120, panel.width(), panel.height());
    EXPECT_EQ(SourceOf(form), (Rect4{20, 40, 2 * c.x(), 2 * c.y()}));
    EXPECT_EQ(QSize(form.DestWidth, form.DestHeight), QSize(2 * (c.x() - 10), 2 * (c.y() - 20)));

    form.ResetBtn->click();
    form.StretchBtn->click();
    EXPECT_EQ(form.ScrollBox1->widget(), form.PMultiImage1);
    EXPECT_EQ(form.PMultiImage1->size(), 2 * panel);
}

TEST(ResizeForm, BarsSizeThePreviewEachOnItsOwn) {
    zp::TBitmap frame;
    MakeFrame(frame, 60, 40);
    TResizeForm form;
    form.SetFrame(frame, 60, 40);
    EXPECT_EQ(form.Label3->text() + form.Label4->text(), "6040");
    EXPECT_EQ(form.PMultiImage1->size(), QSize(60, 40));
    form.WBar->setValue(2);
    EXPECT_EQ(form.PMultiImage1->grab().size(), QSize(2, 40));
    EXPECT_EQ(form.Label3->text() + form.Label4->text(), "240");
    form.Hbar->setValue(300);
    EXPECT_EQ(QSize(form.NewWidth(), form.NewHeight()), QSize(2, 300));
    EXPECT_EQ(PressIn(form, form.AllFramesBtn), mrOk);
    EXPECT_TRUE(form.AllFrames);

    // Outside the bars' range the size handed in stands until a bar moves.
    TResizeForm wide;
    wide.SetFrame(frame, 1200, 1);
    EXPECT_EQ(wide.Label3->text(), "1200");
    EXPECT_EQ(PressIn(wide, wide.ThisFrameBtn), mrOk);
    EXPECT_EQ(QSize(wide.NewWidth(), wide.NewHeight()), QSize(1200, 1));
}

TEST(RotateForm, RotatesThePreviewAndResetsTheAngleOnly) {
    zp::TBitmap frame;
    MakeFrame(frame, 60, 40);
    TRotateForm form;
    form.SetFrame(frame);
    EXPECT_EQ(form.FillColor, clBtnFace);
    form.TrackBar1->setValue(90);
    EXPECT_EQ(form.Label1->text(), "90 degrees");
    EXPECT_EQ(form.Angle, 90);
    form.RotateBtn->click();
    EXPECT_EQ(form.PMultiImage1->Picture().Width(), 40);
    form.RotateBtn->click(); // further, not again from the start
    EXPECT_EQ(form.PMultiImage1->Picture().Width(), 60);
    EXPECT_NE(form.PMultiImage1->Picture().Image().pixel(0, 0), Source(0, 0));

    form.ResetBtn->click();
    EXPECT_EQ(form.Angle, 0);
    EXPECT_EQ(form.TrackBar1->value(), 90);
    EXPECT_EQ(form.PMultiImage1->Picture().Image().pixel(0, 0), Source(0, 0));

    ChooseColour(QColor(10, 20, 30));
    form.ColorBtn->click();
    EXPECT_EQ(form.FillColor, RGB(10, 20, 30));
    form.StretchBtn->click();
    EXPECT_TRUE(form.PMultiImage1->StretchRatio());
    EXPECT_EQ(form.PMultiImage1->parentWidget(), form.Panel1);
    EXPECT_EQ(PressIn(form, form.OKBtn), mrOk);
}

TEST(PictureDialogs, F1OnAnyControlOpensTheDialogsTopic) {
    testsupport::widgetApp();
    SetHelpFile(std::string(ProgramFolder()) + "/zentrope.hlp");
    TCropForm crop;
    TResizeForm resize;
    TRotateForm rotate;
    for (auto [dialog, control, page] :
         {std::tuple<QDialog*, QWidget*, const char*>{&crop, crop.ResetBtn, "crop.html"},
          {&resize, resize.WBar, "resize.html"},
          {&rotate, rotate.TrackBar1, "rotate.html"}}) {
        dialog->show();
        dialogtest::PressKey(control, Qt::Key_F1);
        ASSERT_NE(HelpWindow(), nullptr);
        EXPECT_EQ(HelpWindow()->CurrentPage(), page);
        dialog->hide();
    }
}
