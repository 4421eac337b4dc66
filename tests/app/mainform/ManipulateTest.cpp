// "Manipulate" in the main window: the effects dialog on the picture shown;
// on an animation only the frame on display changes.
#include "MainFormFixtures.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "app/dialogs/ModalDriver.h"

#include "app/TMainForm.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/still/TPMultiImage.h"
#include "manipulation/TEffectForm.h"
#include "platform/GlobalBlock.h"

#include <QAction>
#include <QToolButton>
#include <gtest/gtest.h>
#include <vector>

using namespace mainform;

namespace {

std::vector<uint8_t> Bytes(HGLOBAL dib) {
    zp::GlobalLockGuard lock(dib);
    const auto* p = lock.as<uint8_t>();
    return std::vector<uint8_t>(p, p + GlobalSize(dib));
}

// Inverts the picture in the dialog that opens next, then closes it.
void InvertAndClose(bool save) {
    dialogtest::OnModal([save](QWidget* w) {
        auto* dialog = qobject_cast<TEffectForm*>(w);
        ASSERT_NE(dialog, nullptr);
        dialog->SaveSettingsOnExit->setChecked(false);
        dialog->ShowPage("Invert");
        dialog->ApplyClick();
        (save ? dialog->CloseSaveBtn : dialog->CloseBtn)->click();
    });
}

} // namespace

TEST(Manipulate, ChangesTheStillOrOnlyTheFrameOnDisplay) {
    testsupport::widgetApp();
    const auto dir = testsupport::tempDir("mainform-manipulate");
    WriteStill(dir / "photo.png", QColor(200, 30, 30), 48, 32);
    WriteGif(dir / "anim.gif", {"red", "blue", "lime"}, 30, 20);
    TMainForm form;
    form.show();

    form.OpenFile(QString::fromStdString((dir / "photo.png").string()),
                  TMainForm::TOpenFrom::OpenDialog);
    const QRgb before = form.MultiImage1->Picture().Image().pixel(3, 3);
    InvertAndClose(false);
    form.Manipul->click();
    EXPECT_FALSE(form.MultiImage1->EffectsApplied);
    EXPECT_EQ(form.MultiImage1->Picture().Image().pixel(3, 3), before);
    InvertAndClose(true);
    form.ManipulateImage1->trigger();
    EXPECT_TRUE(form.MultiImage1->EffectsApplied);
    EXPECT_EQ(form.MultiImage1->Picture().Image().pixel(3, 3), qRgb(55, 225, 225));

    form.OpenFile(QString::fromStdString((dir / "anim.gif").string()),
                  TMainForm::TOpenFrom::OpenDialog);
    const TFrameList& frames = *form.AniGifImage1->Frames();
    ASSERT_EQ(frames.size(), 3u);
    std::vector<std::vector<uint8_t>> pictures;
    for (const TMyGifAnimation* r : frames)
        pictures.push_back(Bytes(r->DibHandle));
    InvertAndClose(true);
    form.Manipul->click();
    int changed = 0;
    for (size_t i = 0; i < frames.size(); ++i)
        changed += Bytes(frames[i]->DibHandle) != pictures[i];
    EXPECT_EQ(changed, 1);
}
