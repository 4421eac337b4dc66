// "Manipulate" in the editor: the effects dialog changes the current frame
// only, and only when it closes with "Close and Save".
#include "EditorTestSupport.h"
#include "WidgetSupport.h"
#include "app/dialogs/ModalDriver.h"
#include "editor/commands/TEditHistory.h"
#include "manipulation/TEffectForm.h"
#include "platform/GlobalBlock.h"

#include <QAction>
#include <QToolButton>
#include <gtest/gtest.h>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(HGLOBAL dib) {
    zp::GlobalLockGuard lock(dib);
    const auto* p = lock.as<uint8_t>();
    return std::vector<uint8_t>(p, p + GlobalSize(dib));
}

TEST(EditorManipulate, EffectsChangeTheCurrentFrameOnlyOnCloseAndSave) {
    testsupport::widgetApp();
    editortest::EditorOn e(2, 20, 10);
    e.click(1);
    ASSERT_TRUE(e.edit.Manipul->isEnabled());
    const auto first = Bytes(e.frames[0]->DibHandle), second = Bytes(e.frames[1]->DibHandle);
    for (bool save : {false, true}) {
        dialogtest::OnModal([save](QWidget* w) {
            auto* dialog = qobject_cast<TEffectForm*>(w);
            ASSERT_NE(dialog, nullptr);
            dialog->SaveSettingsOnExit->setChecked(false);
            dialog->ShowPage("Invert");
            dialog->ApplyClick();
            (save ? dialog->CloseSaveBtn : dialog->CloseBtn)->click();
        });
        e.edit.Manipul->click();
        EXPECT_EQ(Bytes(e.frames[1]->DibHandle) != second, save);
    }
    EXPECT_EQ(Bytes(e.frames[0]->DibHandle), first);
    EXPECT_EQ(e.frames[1]->Width, 20);
    // One step takes the frame back.
    ASSERT_EQ(e.edit.History()->Count(), 1);
    EXPECT_EQ(e.edit.Undo1->text(), "&Undo Manipulate");
    e.edit.Undo1->trigger();
    EXPECT_EQ(Bytes(e.frames[1]->DibHandle), second);
}

} // namespace
