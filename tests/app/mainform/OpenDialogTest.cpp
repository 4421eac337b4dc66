// "&Open": the open dialog with preview, cancelled or confirmed.
#include "MainFormFixtures.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "app/TMainForm.h"
#include "app/dialogs/ModalDriver.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/still/TMMOpenDialog.h"
#include "imaging/still/TPMultiImage.h"

#include <QAction>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(OpenDialog, CancelKeepsTheWindowAndAChosenGifShowsWithoutPlaying) {
    testsupport::widgetApp();
    const fs::path gif = testsupport::tempDir("mainform-opendialog") / "two.gif";
    mainform::WriteGif(gif, {"red", "blue"}, 24, 16);
    TMainForm form;
    form.show();
    for (const bool choose : {false, true}) {
        SCOPED_TRACE(choose ? "chosen" : "cancelled");
        dialogtest::OnModal([&](QWidget* w) {
            auto* dialog = qobject_cast<TMMOpenDialog*>(w);
            ASSERT_TRUE(dialog);
            EXPECT_EQ(dialog->windowTitle(), "Open File");
            EXPECT_EQ(dialog->nameFilters().value(0),
                      "All (*.BMP *.GIF *.JPG *.PCX *.PNG *.TIF *.PCD *.TGA)");
            if (!choose) return dialog->reject();
            // Typed into the file name field, as a user may.
            dialog->findChild<QLineEdit*>("fileNameEdit")
                ->setText(QString::fromStdString(gif.string()));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        form.Open1->trigger();
        EXPECT_EQ(form.AniGifImage1->FileName(), choose ? gif.string() : std::string());
        EXPECT_EQ(form.AniGifImage1->Frames()->size(), choose ? 2u : 0u);
        EXPECT_TRUE(form.AniGifImage1->isVisibleTo(&form));
        EXPECT_FALSE(form.MultiImage1->isVisibleTo(&form));
        EXPECT_FALSE(form.AniGifImage1->Playing());
    }
}
