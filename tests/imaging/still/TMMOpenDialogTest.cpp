// The open dialog's preview column: TIFF pages and their buttons, the
// progress handler, and a selection made while a preview still loads.
#include "imaging/still/TMMOpenDialog.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "imaging/still/PVDocumentImage.h"
#include "imaging/still/TPMultiMedia.h"
#include "libs/tiff/RunTool.h"

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

QString Path(const fs::path& file) {
    return QString::fromStdString(file.string());
}

// Which of First, Prior, Next, Last are enabled, and the page label.
std::string PageBar(const TMMOpenDialog& d) {
    std::string out;
    for (const QToolButton* b : {d.TiffFirst, d.TiffPrior, d.TiffNext, d.TiffLast})
        out += b->isEnabled() ? '1' : '0';
    return out + " " + d.PageLabel->text().toStdString();
}

} // namespace

TEST(TMMOpenDialog, TiffPagesEnableTheButtonsThatLeadSomewhere) {
    testsupport::widgetApp();
    if (!fs::exists("/usr/bin/convert")) GTEST_SKIP() << "/usr/bin/convert is not installed";
    const fs::path dir = testsupport::tempDir("mmopen");
    const fs::path three = dir / "three.tif", one = dir / "one.tif";
    ASSERT_TRUE(testsupport::runQuiet("/usr/bin/convert -size 90x30 xc:red -size 20x60 xc:lime "
                                      "-size 50x50 xc:blue '" +
                                      three.string() + "'"));
    ASSERT_TRUE(
        testsupport::runQuiet("/usr/bin/convert -size 30x20 xc:red '" + one.string() + "'"));
    TMMOpenDialog dialog;
    dialog.show();
    dialog.DoSelectionChange(Path(three));
    EXPECT_TRUE(dialog.TifTrackPanel->isVisible());
    EXPECT_TRUE(dialog.DocumentImage->isVisible());
    EXPECT_FALSE(dialog.TMultiMedia->isVisible());
    EXPECT_EQ(PageBar(dialog), "0011 P 1 of 3");
    // A wide page fits the viewer's width.
    const PVDocumentImage& viewer = *dialog.DocumentImage;
    EXPECT_LE(viewer.Shown().width(), viewer.width());
    EXPECT_GE(viewer.Shown().width(), viewer.width() - 1);

    struct Row {
        QToolButton* button;
        const char* bar;
        int page;
        QSize size;
    };
    for (const Row& row : {Row{dialog.TiffLast, "1100 P 3 of 3", 2, {50, 50}},
                           Row{dialog.TiffPrior, "1111 P 2 of 3", 1, {20, 60}},
                           Row{dialog.TiffFirst, "0011 P 1 of 3", 0, {90, 30}}}) {
        row.button->click();
        EXPECT_EQ(PageBar(dialog), row.bar);
        EXPECT_EQ(dialog.TiffSelectedPage, row.page);
        EXPECT_EQ(QSize(viewer.PageWidth(), viewer.PageHeight()), row.size);
        EXPECT_LE(viewer.Shown().height(), viewer.height());
    }
    dialog.DoSelectionChange(Path(one));
    EXPECT_EQ(PageBar(dialog), "0000 P 1 of 1");

    // Another picture hides the page bar; with the toggle up nothing shows.
    const fs::path bmp = dir / "still.bmp";
    ASSERT_TRUE(QImage(QSize(12, 7), QImage::Format_RGB32).save(Path(bmp)));
    dialog.DoSelectionChange(Path(bmp));
    EXPECT_FALSE(dialog.TifTrackPanel->isVisible());
    EXPECT_EQ(dialog.TMultiMedia->Picture().Width(), 12);
    dialog.PreviewBtn->click();
    EXPECT_EQ(dialog.TMultiMedia->Picture().Width(), 0);
    dialog.DoSelectionChange(Path(three));
    EXPECT_FALSE(dialog.DocumentImage->HasPage());
}

TEST(TMMOpenDialog, ProgressSetsTheLoadingFlagOnlyBetweenOneAnd97) {
    testsupport::widgetApp();
    TMMOpenDialog dialog;
    for (const auto& [percent, loading] :
         {std::pair{50, true}, {98, false}, {1, true}, {0, false}, {97, true}, {100, false}}) {
        bool cancel = true;
        dialog.PreviewProgress(percent, cancel);
        EXPECT_FALSE(cancel);
        EXPECT_EQ(dialog.LoadInProgress(), loading) << percent;
    }
    dialog.show();
    dialog.done(QDialog::Rejected);
    bool cancel = false;
    dialog.PreviewProgress(30, cancel);
    EXPECT_TRUE(cancel) << "a load still running at close stops";
}

TEST(TMMOpenDialog, SelectionDuringALoadWaitsForItAndThenShows) {
    testsupport::widgetApp();
    const fs::path dir = testsupport::tempDir("mmopen");
    const fs::path first = dir / "first.png", second = dir / "second.png";
    ASSERT_TRUE(QImage(QSize(300, 200), QImage::Format_RGB32).save(Path(first)));
    ASSERT_TRUE(QImage(QSize(40, 25), QImage::Format_RGB32).save(Path(second)));
    TMMOpenDialog dialog;
    dialog.show();
    std::vector<std::string> asked;
    dialog.OnMMFileName = [&](TMMOpenDialog*, const std::string& file) {
        asked.push_back(fs::path(file).filename().string());
        return true;
    };
    // The second selection arrives while the first load reports progress,
    // as the handler's event pumping would deliver it.
    const TPVMesProgress progress = dialog.TMultiMedia->OnProgress;
    dialog.TMultiMedia->OnProgress = [&](TPMultiImage* sender, int16_t percent,
                                         const std::string& text, bool& cancel) {
        if (asked.size() == 1) dialog.DoSelectionChange(Path(second));
        progress(sender, percent, text, cancel);
    };
    dialog.DoSelectionChange(Path(first));
    EXPECT_EQ(asked, (std::vector<std::string>{"first.png", "second.png"}));
    EXPECT_EQ(dialog.TMultiMedia->ImageName(), second.string());
    EXPECT_EQ(dialog.TMultiMedia->Picture().Width(), 40);
}
