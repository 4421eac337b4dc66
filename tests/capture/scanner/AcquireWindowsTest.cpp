// The scanner and camera windows driven as a user drives them, through the
// editor's "&Acquire Image", against SANE's test device.
#include "SaneTestDevice.h"
#include "WidgetSupport.h"
#include "app/dialogs/ModalDriver.h"
#include "capture/TDigCamForm.h"
#include "capture/TScanDeviceDialog.h"
#include "capture/TScanOptions.h"
#include "capture/TTwainForm.h"
#include "capture/TTwainMan.h"
#include "editor/EditorParts.h"
#include "editor/EditorTestSupport.h"
#include "editor/commands/TEditHistory.h"
#include "imaging/animated/AnimationFixtures.h"
#include "manipulation/TEffectForm.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <set>

namespace {

using Step = std::function<void(QWidget*)>;

void OnModals(std::vector<Step> steps, size_t at = 0) {
    if (at >= steps.size()) return;
    dialogtest::OnModal([steps, at](QWidget* modal) {
        OnModals(steps, at + 1);
        steps[at](modal);
    });
}

template <class Window> Window* As(QWidget* w) {
    auto* window = qobject_cast<Window*>(w);
    EXPECT_TRUE(window) << "another window showed: " << w->metaObject()->className();
    return window;
}

Step ChooseWay(QRadioButton* TTwainMan::*way) {
    return [way](QWidget* w) {
        if (auto* chooser = As<TTwainMan>(w)) {
            (chooser->*way)->setChecked(true);
            chooser->findChild<QPushButton*>("OKBtn")->click();
        }
    };
}

struct Editor {
    editortest::OwnedAnimation anim;
    TGifEdit edit;
    explicit Editor(int frames = 0) {
        for (int i = 0; i < frames; ++i) {
            TMyGifAnimation* r = fixtures::frame(
                8, 6, 8, [](int, int) { return uint8_t(1); },
                [](int) {
                    return RGBQUAD{9, 9, 9, 0};
                });
            r->Name = "Frame " + std::to_string(i + 1);
            anim.frames.push_back(r);
        }
        editortest::attach(edit, anim);
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const TMyGifAnimation* r : anim.frames)
            out.push_back(r->Name);
        return out;
    }
};

TEST(TwainForm, ThreePagesFromTheFeederBecomeTheEditorsFrames) {
    testsupport::widgetApp();
    sanetest::UseTestDevice(8);
    Editor editor(1);
    OnModals({ChooseWay(&TTwainMan::iMultiScan), [](QWidget* w) {
                  auto* form = As<TTwainForm>(w);
                  if (!form) return;
                  form->nPages->setValue(3);
                  form->DPI->setValue(50);
                  form->ScanDocumentsBtn->click();
                  EXPECT_EQ(form->BufText->text(), "There are 3 images in the buffer");
                  form->CloseWindow->click();
              }});
    editor.edit.ScanImagesBtnClick();
    ASSERT_EQ(editor.names(),
              (std::vector<std::string>{"Frame 1", "Frame 1 of scanned image",
                                        "Frame 2 of scanned image", "Frame 3 of scanned image"}));
    EXPECT_EQ(editor.edit.GifNameBox->count(), 4);
    std::set<HGLOBAL> blocks;
    for (size_t i = 1; i < 4; ++i) {
        const TMyGifAnimation* r = editor.anim.frames[i];
        blocks.insert(r->DibHandle);
        // 4.5 x 6.5 inches at 50 DPI, within the device's rounding to millimetres.
        EXPECT_NEAR(r->Width, 225, 2);
        EXPECT_NEAR(r->Height, 325, 2);
        EXPECT_EQ(r->ScreenWidth, uint16_t(r->Width));
        EXPECT_EQ(r->LocalColors, r->ScreenColors);
        EXPECT_EQ(r->UseLocalPalette, 1);
        EXPECT_EQ(r->Delay, 10);
        EXPECT_EQ(r->Disposal, 0);
        EXPECT_EQ(editorparts::BitsOf(r->DibHandle), 8);
    }
    EXPECT_EQ(blocks.size(), 3u);
    // One step takes the batch back out and puts it in again.
    ASSERT_EQ(editor.edit.History()->Count(), 1);
    EXPECT_EQ(editor.edit.Undo1->text(), "&Undo Scanned frames");
    editor.edit.Undo1->trigger();
    EXPECT_EQ(editor.names(), std::vector<std::string>{"Frame 1"});
    editor.edit.Redo1->trigger();
    EXPECT_EQ(editor.anim.frames.size(), 4u);
    EXPECT_EQ(editor.edit.GifNameBox->count(), 4);
}

TEST(TwainForm, CancelFreesTheBufferAndLeavesTheAnimation) {
    testsupport::widgetApp();
    sanetest::UseTestDevice(9);
    Editor editor(2);
    TFrameList* seen = nullptr;
    OnModals({ChooseWay(&TTwainMan::iMultiScan), [&seen](QWidget* w) {
                  auto* form = As<TTwainForm>(w);
                  if (!form) return;
                  form->nPages->setValue(2);
                  form->DPI->setValue(20);
                  form->ScanDocumentsBtn->click();
                  seen = form->FFrameList;
                  EXPECT_EQ(seen->size(), 2u);
                  form->SpeedButton1->click();
                  EXPECT_TRUE(seen->empty());
                  EXPECT_EQ(form->BufText->text(), "There are 0 images in the buffer");
              }});
    editor.edit.ScanImagesBtnClick();
    EXPECT_EQ(editor.names(), (std::vector<std::string>{"Frame 1", "Frame 2"}));
    ASSERT_TRUE(editor.edit.FTwainForm);
    EXPECT_FALSE(editor.edit.FTwainForm->isVisible());
}

struct AreaRow {
    QRect rectangle;
    QRect placed; // where the rectangle ends up
    const char* left;
    const char* top;
    const char* right;
    const char* bottom;
};

TEST(TwainForm, ScanAreaInInches) {
    testsupport::widgetApp();
    TTwainForm form(nullptr);
    EXPECT_EQ(form.FScanRight, 4.5);
    EXPECT_EQ(form.FScanBottom, 6.5);
    const AreaRow rows[] = {
        {{40, 20, 100, 60}, {40, 20, 100, 60}, "2.00", "1.00", "7.00", "4.00"},
        {{-10, -6, 40, 20}, {0, 0, 40, 20}, "0.00", "0.00", "2.00", "1.00"},
        {{0, 10, 200, 50}, {0, 10, 170, 50}, "0.00", "0.50", "8.50", "3.00"},
        {{10, 0, 60, 400}, {10, 0, 60, 400}, "0.50", "0.00", "3.50", "20.00"}, // height not cut
    };
    for (const AreaRow& row : rows) {
        form.Sizer->setGeometry(row.rectangle);
        form.UpdateScanArea();
        EXPECT_EQ(form.Sizer->geometry(), row.placed);
        const auto shown = [](QLabel* l) { return l->text().trimmed().toStdString(); };
        EXPECT_EQ(shown(form.ll), std::string(row.left) + " \"");
        EXPECT_EQ(shown(form.tt), std::string(row.top) + " \"");
        EXPECT_EQ(shown(form.ww), std::string(row.right) + " \"");
        EXPECT_EQ(shown(form.hh), std::string(row.bottom) + " \"");
    }
    EXPECT_EQ(form.ll->text().size(), 10); // "%8.2f" then a blank and the inch mark
}

TEST(DigCamForm, NumbersAcrossRunsAndReducesTo16Colours) {
    testsupport::widgetApp();
    sanetest::UseTestDevice(10);
    TDigCamForm form(nullptr);
    TFrameList buffer;
    form.FFrameList = &buffer;
    form.RadioButton6->setChecked(true);
    form.MultiplePagesClick(); // the feeder holds ten pictures
    ASSERT_EQ(buffer.size(), 10u);
    sanetest::UseTestDevice(11);
    form.MultiplePagesClick();
    ASSERT_EQ(buffer.size(), 20u);
    EXPECT_EQ(buffer.front()->Name, "Frame 0 of digital camara");
    EXPECT_EQ(buffer[10]->Name, "Frame 10 of digital camara");
    EXPECT_EQ(buffer.back()->Name, "Frame 19 of digital camara");
    for (const TMyGifAnimation* r : buffer) {
        EXPECT_EQ(r->ScreenColors, 16);
        EXPECT_EQ(r->LocalColors, 16);
        ASSERT_TRUE(r->DibHandle);
    }
    form.SpeedButton2Click();
    EXPECT_TRUE(buffer.empty());
}

TEST(AcquireSingleImage, ThroughTheDeviceWindowIntoAnEmptyEditor) {
    testsupport::widgetApp();
    sanetest::UseTestDevice(0);
    InstallScannerDialogs();
    Editor editor;
    OnModals({ChooseWay(&TTwainMan::iSingle),
              [](QWidget* w) {
                  auto* options = As<TScanOptions>(w);
                  if (!options) return;
                  // Nothing to take a palette from or to replace.
                  EXPECT_FALSE(options->RadioButton2->isEnabled());
                  EXPECT_FALSE(options->RadioButton3->isEnabled());
                  EXPECT_TRUE(options->NewPalette->isChecked());
                  options->RadioButton4->setChecked(true);
                  options->BitBtn1->click();
              },
              [](QWidget* w) {
                  auto* device = As<TScanDeviceDialog>(w);
                  if (!device) return;
                  device->Resolution->setValue(30);
                  device->findChild<QPushButton*>("ScanBtn")->click();
              }});
    editor.edit.ScanImagesBtnClick();
    ScannerSetDialogs(nullptr);
    ASSERT_EQ(editor.names(), std::vector<std::string>{"Scanner frame"});
    const TMyGifAnimation* r = editor.anim.frames[0];
    EXPECT_EQ(editorparts::BitsOf(r->DibHandle), 4);
    EXPECT_EQ(r->LocalColors, 16);
    EXPECT_EQ(r->Disposal, 3);
    EXPECT_EQ(r->ScreenWidth, uint16_t(r->Width));
    EXPECT_GT(r->Width, 0);
}

} // namespace

namespace {

// "Replace current frame" with "16 Colors" changes only the current frame's
// picture, size and name; the preview shows the device's area at its size.
TEST(AcquireSingleImage, ReplacesOnlyTheCurrentFrame) {
    testsupport::widgetApp();
    sanetest::UseTestDevice(0);
    Editor editor(3);
    editor.edit.GifNameBox->setCurrentRow(1);
    const HGLOBAL untouched[] = {editor.anim.frames[0]->DibHandle,
                                 editor.anim.frames[2]->DibHandle};
    OnModals({ChooseWay(&TTwainMan::iSingle), [](QWidget* w) {
                  auto* options = As<TScanOptions>(w);
                  if (!options) return;
                  options->NewPalette->setChecked(true);
                  options->RadioButton4->setChecked(true);
                  options->RadioButton3->setChecked(true);
                  options->BitBtn1->click();
              }});
    editor.edit.ScanImagesBtnClick(); // no device window installed: the default request
    EXPECT_EQ(editor.names(),
              (std::vector<std::string>{"Frame 1", "Replaced by scanner frame", "Frame 3"}));
    EXPECT_EQ(editor.edit.GifNameBox->item(1)->text(), "Replaced by scanner frame");
    const TMyGifAnimation* r = editor.anim.frames[1];
    EXPECT_EQ(editorparts::BitsOf(r->DibHandle), 4);
    EXPECT_GT(r->Width, 8);
    EXPECT_EQ(editor.anim.frames[0]->DibHandle, untouched[0]);
    EXPECT_EQ(editor.anim.frames[2]->DibHandle, untouched[1]);
    EXPECT_EQ(editor.anim.frames[0]->Width, 8);

    TTwainForm form(nullptr);
    form.ScanImagesBtnClick();
    ASSERT_FALSE(form.Image1->pixmap().isNull());
    // The test device scans at most 200 mm square: 157 of the page's 20-per-inch pixels.
    EXPECT_NEAR(form.Image1->width(), 157, 2);
    EXPECT_NEAR(form.Image1->height(), 157, 2);
}

} // namespace

namespace {

// Escape during a run stops it after the page being read; the pages that
// came stay in the buffer and the window stays open.
TEST(TwainForm, EscapeStopsTheRunAndKeepsItsPages) {
    testsupport::widgetApp();
    sanetest::UseTestDevice(8);
    TTwainForm form(nullptr);
    TFrameList buffer;
    form.FFrameList = &buffer;
    form.nPages->setValue(6);
    form.DPI->setValue(20);
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (buffer.size() == 2) dialogtest::PressKey(&form, Qt::Key_Escape);
    });
    watch.start(0);
    form.MultiplePagesClick();
    watch.stop();
    EXPECT_EQ(buffer.size(), 2u);
    EXPECT_TRUE(form.ScanDocumentsBtn->isEnabled());
    EXPECT_EQ(form.BufText->text(), "There are 2 images in the buffer");
    form.ClearFrameBuffer();
}

} // namespace

namespace {

// The effects dialog's "Aquire Image" scans through the device window at
// the screen's depth, and the page becomes the paste source.
TEST(EffectFormScanner, AquireImageGivesThePasteSource) {
    testsupport::widgetApp();
    sanetest::UseTestDevice(0);
    InstallScannerDialogs();
    TEffectForm form(nullptr);
    TMyGifAnimation* picture = fixtures::frame(
        8, 6, 8, [](int, int) { return uint8_t(1); },
        [](int) {
            return RGBQUAD{9, 9, 9, 0};
        });
    form.SetWorkingDib(picture->DibHandle); // the dialog takes the block
    delete picture;
    form.show();
    form.ShowPage("Paste Image");
    ASSERT_TRUE(form.AquireBtn->isEnabled());
    OnModals({[](QWidget* w) {
        auto* device = As<TScanDeviceDialog>(w);
        if (!device) return;
        device->Resolution->setValue(20);
        device->findChild<QPushButton*>("ScanBtn")->click();
    }});
    form.AquireBtn->click();
    ScannerSetDialogs(nullptr);
    TEffectForm::ScannerAcquire = nullptr;
    TEffectForm::ScannerSelectSource = nullptr;
    ASSERT_TRUE(form.PasteSource());
    EXPECT_EQ(editorparts::BitsOf(form.PasteSource()), 24);
}

} // namespace
