// Adding frames to the editor: from a still file and from a GIF through the
// real confirmation, open dialog and import selector, from the clipboard,
// and blank frames.
#include "EditorTestSupport.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "app/TYesNo.h"
#include "app/dialogs/ModalDriver.h"
#include "editor/TGifEdit.h"
#include "editor/TGifframeselector.h"
#include "imaging/animated/AnimationFixtures.h"
#include "imaging/common/DibClipboard.h"
#include "imaging/common/DibImage.h"
#include "imaging/still/TMMOpenDialog.h"
#include "libs/tiff/RunTool.h"
#include "platform/GlobalBlock.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using Step = std::function<void(QWidget*)>;

// An editor on `count` frames named "Frame 1".. as the main window opens it.
struct EditorOn {
    editortest::OwnedAnimation anim;
    TFrameList& frames = anim.frames;
    TGifEdit edit;

    explicit EditorOn(int count) {
        for (int i = 0; i < count; ++i) {
            TMyGifAnimation* r = fixtures::frame(
                8, 6, 8, [](int, int) { return uint8_t(1); },
                [i](int) {
                    return RGBQUAD{uint8_t(i * 40), 0, 0, 0};
                });
            r->Name = "Frame " + std::to_string(i + 1);
            r->ScreenWidth = 40;
            r->ScreenHeight = 30;
            frames.push_back(r);
        }
        editortest::attach(edit, anim);
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const TMyGifAnimation* r : frames)
            out.push_back(r->Name);
        return out;
    }
};

// Runs the steps on the modal windows that show one after the other.
void OnModals(std::vector<Step> steps, size_t at = 0) {
    if (at >= steps.size()) return;
    dialogtest::OnModal([steps, at](QWidget* modal) {
        OnModals(steps, at + 1);
        steps[at](modal);
    });
}

Step Answer(bool yes, QString* question = nullptr) {
    return [yes, question](QWidget* w) {
        auto* box = qobject_cast<TYesNo*>(w);
        ASSERT_TRUE(box) << "the confirmation did not show";
        if (question) *question = box->Cap->text();
        (yes ? box->BitBtn1 : box->BitBtn2)->click();
    };
}

Step Choose(const fs::path& file) {
    return [file](QWidget* w) {
        auto* dialog = qobject_cast<TMMOpenDialog*>(w);
        ASSERT_TRUE(dialog) << "the open dialog did not show";
        EXPECT_EQ(dialog->windowTitle(), "Open File");
        if (file.empty()) return dialog->reject();
        dialog->findChild<QLineEdit*>("fileNameEdit")
            ->setText(QString::fromStdString(file.string()));
        QMetaObject::invokeMethod(dialog, "accept");
    };
}

Step Pick(QList<int> rows, bool ok = true) {
    return [rows, ok](QWidget* w) {
        auto* selector = qobject_cast<TGifframeselector*>(w);
        ASSERT_TRUE(selector) << "the import selector did not show";
        for (int row : rows)
            selector->GifNameBox->item(row)->setSelected(true);
        (ok ? selector->OKBtn : selector->CancelBtn)->click();
    };
}

const fs::path& SixFrameGif() {
    static const fs::path file = [] {
        const fs::path path = testsupport::tempDir("addframes") / "Six.GIF";
        std::string command = "/usr/bin/convert -delay 10";
        for (const char* c : {"red", "lime", "blue", "yellow", "cyan", "magenta"})
            command += std::string(" -size 12x9 xc:") + c;
        testsupport::runQuiet(command + " '" + path.string() + "'");
        return path;
    }();
    return file;
}

QImage PictureOf(const TMyGifAnimation* r) {
    zp::GlobalLockGuard lock(r->DibHandle);
    return dibimage::ToImage(lock.as<BITMAPINFOHEADER>()).convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(EditorAdding, StillFileGoesInAtTheCaretAsEightBitsWithItsOwnColours) {
    testsupport::widgetApp();
    EditorOn e(4);
    // 200 colours: no fixed palette holds them all, a palette of their own does.
    QImage still(36, 24, QImage::Format_RGB32);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 36; ++x)
            still.setPixel(x, y, qRgb((x % 20) * 12, (y % 10) * 25, 99));
    const fs::path file = testsupport::tempDir("addframes") / "pic.bmp";
    ASSERT_TRUE(still.save(QString::fromStdString(file.string())));

    e.edit.GifNameBox->setCurrentRow(2);
    OnModals({Answer(true), Choose(file)});
    e.edit.Load_ImageClick();
    ASSERT_EQ(e.frames.size(), 5u);
    const TMyGifAnimation* added = e.frames[2];
    EXPECT_EQ(added->Name, "Frame 1 of pic.bmp");
    EXPECT_EQ(e.names(), (std::vector<std::string>{"Frame 1", "Frame 2", "Frame 1 of pic.bmp",
                                                   "Frame 3", "Frame 4"}));
    EXPECT_EQ(e.edit.GifNameBox->item(2)->text(), "Frame 1 of pic.bmp");
    EXPECT_EQ(e.edit.Frames->text(), "5");
    {
        zp::GlobalLockGuard lock(added->DibHandle);
        EXPECT_EQ(lock.as<BITMAPINFOHEADER>()->biBitCount, 8);
    }
    EXPECT_EQ(PictureOf(added), still);
    EXPECT_EQ(added->Width, 36);
    EXPECT_EQ(added->ScreenHeight, 24);
    EXPECT_EQ(added->UseLocalPalette, 1);
    EXPECT_GE(added->LocalColors, 200);
    EXPECT_EQ(added->Delay, 10);
    EXPECT_NE(added->DibHandle, GlobalHandle(e.edit.FWorkDib->Dib())) << "the record owns a copy";
    EXPECT_TRUE(e.edit.DelaySpin->isEnabled());
}

TEST(EditorAdding, PickedGifFramesAreCopiedInSourceOrderFromTheCaret) {
    testsupport::widgetApp();
    EditorOn e(2);
    ASSERT_TRUE(fs::exists(SixFrameGif()));
    e.edit.GifNameBox->setCurrentRow(0);
    OnModals({Answer(true), Choose(SixFrameGif()), [](QWidget* w) {
                  auto* selector = qobject_cast<TGifframeselector*>(w);
                  ASSERT_TRUE(selector);
                  ASSERT_EQ(selector->GifNameBox->count(), 6);
                  EXPECT_EQ(selector->GifNameBox->item(4)->text(), "Frame 5 of six.gif");
                  Pick({4, 1})(w);
              }});
    e.edit.Load_ImageClick();
    EXPECT_EQ(e.names(), (std::vector<std::string>{"Frame 2 of six.gif", "Frame 5 of six.gif",
                                                   "Frame 1", "Frame 2"}));
    EXPECT_EQ(PictureOf(e.frames[0]).pixel(3, 3), qRgb(0, 255, 0));
    EXPECT_EQ(PictureOf(e.frames[1]).pixel(3, 3), qRgb(0, 255, 255));
    EXPECT_NE(e.frames[0]->DibHandle, e.frames[1]->DibHandle);
    // The new first frame keeps the animation's screen.
    EXPECT_EQ(e.frames[0]->ScreenWidth, 40);
    EXPECT_EQ(e.frames[1]->Width, 12);
    EXPECT_EQ(e.edit.Frames->text(), "4");
}

TEST(EditorAdding, RefusingOrCancellingAnyDialogAddsNothing) {
    testsupport::widgetApp();
    ASSERT_TRUE(fs::exists(SixFrameGif()));
    const std::vector<std::vector<Step>> rows = {
        {Answer(false)},
        {Answer(true), Choose({})},
        {Answer(true), Choose(SixFrameGif()), Pick({0, 2}, false)},
    };
    for (size_t i = 0; i < rows.size(); ++i) {
        EditorOn e(2);
        QString question;
        std::vector<Step> steps = rows[i];
        steps[0] = [&question, first = steps[0]](QWidget* w) {
            question = qobject_cast<TYesNo*>(w)->Cap->text();
            first(w);
        };
        OnModals(steps);
        e.edit.Load_ImageClick();
        EXPECT_EQ(question, "New frames will be inserted starting at position 1 Are you sure?")
            << "no entry selected: row " << i;
        EXPECT_EQ(e.names(), (std::vector<std::string>{"Frame 1", "Frame 2"})) << "row " << i;
        EXPECT_EQ(e.edit.Frames->text(), "2");
    }
}

TEST(EditorAdding, PasteAppendsOrReplacesEvenTheOnlyFrame) {
    testsupport::widgetApp();
    TMyGifAnimation* source = fixtures::frame(
        14, 5, 8, [](int x, int) { return uint8_t(x % 2); },
        [](int c) {
            return RGBQUAD{0, uint8_t(c * 200), 90, 0};
        });
    ASSERT_TRUE(dibclip::PutDib(source->DibHandle));
    zp::GlobalBlock::freeFully(source->DibHandle);
    delete source;

    // No on an empty editor appends; the controls wait for a click.
    EditorOn empty(0);
    OnModals({Answer(false)});
    empty.edit.ClipPasteClick();
    ASSERT_EQ(empty.frames.size(), 1u);
    EXPECT_EQ(empty.frames[0]->Name, "New ClipBoard Frame");
    EXPECT_EQ(empty.edit.GifNameBox->item(0)->text(), "New ClipBoard Frame");
    EXPECT_EQ(empty.edit.Frames->text(), "1");
    EXPECT_EQ(empty.frames[0]->Width, 14);
    EXPECT_EQ(empty.frames[0]->ScreenWidth, 14) << "a lone frame needs a screen";
    EXPECT_FALSE(empty.edit.DelaySpin->isEnabled());

    // Yes with a single frame replaces it.
    EditorOn one(1);
    one.edit.GifNameBox->setCurrentRow(0);
    one.edit.LoadFrameIntoPanels();
    OnModals({Answer(true)});
    one.edit.ClipPasteClick();
    ASSERT_EQ(one.frames.size(), 1u);
    EXPECT_EQ(one.frames[0]->Name, "Replaced by clipBoard Frame");
    EXPECT_EQ(one.edit.GifNameBox->item(0)->text(), "Replaced by clipBoard Frame");
    EXPECT_EQ(one.frames[0]->Width, 14);
    EXPECT_EQ(PictureOf(one.frames[0]), PictureOf(empty.frames[0]));
}

TEST(EditorAdding, NewFrameIsBlankAndSetsTheScreenOnlyWhenFirst) {
    testsupport::widgetApp();
    for (int before : {0, 2}) {
        EditorOn e(before);
        e.edit.New1->trigger();
        ASSERT_EQ(e.frames.size(), size_t(before + 1));
        const TMyGifAnimation* r = e.frames.back();
        EXPECT_EQ(r->Name, "New Frame");
        EXPECT_EQ(r->Width, 100);
        EXPECT_EQ(r->Height, 100);
        EXPECT_EQ(r->LocalColors, 255);
        EXPECT_EQ(r->Disposal, 3);
        EXPECT_EQ(r->ScreenWidth, before == 0 ? 100 : 0);
        EXPECT_EQ(r->ScreenHeight, before == 0 ? 100 : 0);
        EXPECT_EQ(e.edit.ScreenWidthEdit->value(), before == 0 ? 100 : 40);
        EXPECT_EQ(e.edit.Frames->text(), QString::number(before + 1));
        zp::GlobalLockGuard lock(r->DibHandle);
        EXPECT_EQ(lock.as<BITMAPINFOHEADER>()->biBitCount, 8);
    }
}
