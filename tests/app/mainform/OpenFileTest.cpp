// OpenFile from its three callers, the play button and the folder that
// cannot be entered.
#include "MainFormFixtures.h"
#include "TestSupport.h"
#include "WidgetSupport.h"

#include "app/Startup.h"
#include "app/TMainForm.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/still/TPMultiImage.h"

#include <QDir>
#include <QListWidget>
#include <QProgressBar>
#include <QScrollArea>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

using namespace mainform;
namespace fs = std::filesystem;

namespace {

QString Q(const fs::path& path) {
    return QString::fromStdString(path.string());
}

// Opens a file the way each caller does: the command line through a new
// window's creation, the file list by choosing its entry, the open dialog
// through OpenFile itself.
std::unique_ptr<TMainForm> OpenThrough(TMainForm::TOpenFrom from, const fs::path& file) {
    if (from == TMainForm::TOpenFrom::CommandLine) {
        CommandLineFile() = Q(file);
        return std::make_unique<TMainForm>();
    }
    auto form = std::make_unique<TMainForm>();
    form->show();
    if (from == TMainForm::TOpenFrom::FileList) {
        form->SetDirectory(Q(file.parent_path()));
        const auto found = form->FileListBox1->findItems(Q(file.filename()), Qt::MatchExactly);
        if (!found.isEmpty()) form->FileListBox1->setCurrentItem(found.first());
    } else {
        form->OpenFile(Q(file), from);
    }
    return form;
}

} // namespace

TEST(OpenFile, EachCallerShowsTheRightComponentAndAddsItsOwnSteps) {
    testsupport::widgetApp();
    const auto dir = testsupport::tempDir("mainform-open");
    fs::create_directories(dir / "pictures");
    const fs::path gif = dir / "pictures" / "anim.gif";
    const fs::path bmp = dir / "pictures" / "still.bmp";
    const fs::path png = dir / "pictures" / "still.png";
    WriteGif(gif, {"red", "blue"}, 30, 20);
    WriteStill(bmp, QColor(0, 128, 0), 50, 40);
    WriteStill(png, QColor(200, 0, 200), 60, 30);
    using From = TMainForm::TOpenFrom;
    enum Shows { None, Animation, Still };
    struct Row {
        From from;
        fs::path file;
        Shows shows;
        bool plays;
        QSize size;
        QColor colour; // at the picture's middle
    };
    const Row rows[] = {
        {From::CommandLine, gif, Animation, true, {30, 20}, Qt::blue},
        {From::FileList, gif, Animation, false, {30, 20}, Qt::blue},
        {From::OpenDialog, gif, Animation, false, {30, 20}, Qt::blue},
        {From::CommandLine, bmp, Still, false, {50, 40}, QColor(0, 128, 0)},
        {From::FileList, bmp, Still, false, {50, 40}, QColor(0, 128, 0)},
        {From::OpenDialog, png, Still, false, {60, 30}, QColor(200, 0, 200)},
        {From::CommandLine, dir / "missing.gif", None, false, {40, 40}, {}},
        {From::OpenDialog, dir / "missing.bmp", None, false, {40, 40}, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.file.string() + " from caller " + std::to_string(int(row.from)));
        const KeepCurrentFolder keep;
        const QString before = QDir::currentPath();
        std::unique_ptr<TMainForm> form = OpenThrough(row.from, row.file);
        form->show();
        QCoreApplication::processEvents();
        EXPECT_TRUE(CommandLineFile().isEmpty());
        EXPECT_EQ(form->MultiImage1->isVisibleTo(form.get()), row.shows == Still);
        EXPECT_EQ(form->AniGifImage1->isVisibleTo(form.get()), row.shows != Still);
        EXPECT_EQ(form->PlayGif->isEnabled(), row.shows == Animation);
        EXPECT_FALSE(form->PlayGif->isChecked());
        EXPECT_EQ(form->AniGifImage1->Playing(), row.plays);
        EXPECT_EQ(form->ProgressBar1->value(), 0);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the hourglass is gone";
        QWidget* shown = row.shows == Still ? static_cast<QWidget*>(form->MultiImage1)
                                            : static_cast<QWidget*>(form->AniGifImage1);
        EXPECT_EQ(shown->size(), row.size);
        EXPECT_EQ(form->ScrollBox1->widget()->size(), row.size) << "the scroll box's content";
        if (row.colour.isValid()) {
            EXPECT_EQ(PixelOf(shown, row.size.width() / 2, row.size.height() / 2), row.colour);
        }
        const bool movesFolder = row.from == From::CommandLine && row.shows != None;
        const QString expected = movesFolder ? Q(row.file.parent_path()) : before;
        EXPECT_EQ(QDir::currentPath(), expected);
        if (row.from != From::FileList) {
            EXPECT_EQ(form->Directory(), expected);
        }
    }
}

TEST(OpenFile, PlayButtonStartsAtTheFirstFrameAndStops) {
    testsupport::widgetApp();
    const auto dir = testsupport::tempDir("mainform-play");
    WriteGif(dir / "three.gif", {"red", "lime", "blue"}, 24, 16);
    std::unique_ptr<TMainForm> form =
        OpenThrough(TMainForm::TOpenFrom::FileList, dir / "three.gif");
    PVWebImage* image = form->AniGifImage1;
    ASSERT_EQ(image->Frames()->size(), 3u);
    EXPECT_FALSE(image->Playing()) << "the file list does not start a GIF";
    EXPECT_EQ(PixelOf(image, 12, 8), QColor(Qt::blue)) << "the last frame loaded is shown";

    form->PlayGif->click();
    EXPECT_TRUE(form->PlayGif->isChecked());
    EXPECT_TRUE(image->Playing());
    EXPECT_EQ(image->CurrentFrame, 100000);
    EXPECT_TRUE(form->ScrollBox1->hasFocus() || !form->isActiveWindow());
    image->DelayTimerTimer(); // the last frame's delay has run out
    // The window's 100 ms clock takes the next step: frame 0.
    ASSERT_TRUE(WaitUntil([&] { return image->CurrentFrame != 100000; }, 2000));
    EXPECT_EQ(image->CurrentFrame, 0);
    EXPECT_EQ(PixelOf(image, 12, 8), QColor(Qt::red));

    form->PlayGif->click();
    EXPECT_FALSE(image->Playing());

    // Every open releases the button.
    form->PlayGif->click();
    form->OpenFile(Q(dir / "three.gif"), TMainForm::TOpenFrom::OpenDialog);
    EXPECT_FALSE(form->PlayGif->isChecked());
}

TEST(OpenFile, BrokenFilesAreReportedOnceAndTheWindowStaysUsable) {
    testsupport::widgetApp();
    const auto dir = testsupport::tempDir("mainform-broken");
    testsupport::writeFile(dir / "bad.gif", std::vector<unsigned char>(200, 0x47));
    WriteStill(dir / "fine.png", Qt::yellow, 10, 10);
    const CaughtMessages messages;
    auto form = OpenThrough(TMainForm::TOpenFrom::OpenDialog, dir / "bad.gif");
    EXPECT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    form->OpenFile(Q(dir / "fine.png"), TMainForm::TOpenFrom::OpenDialog);
    EXPECT_TRUE(form->MultiImage1->isVisibleTo(form.get()));
    EXPECT_EQ(PixelOf(form->MultiImage1, 5, 5), QColor(Qt::yellow));
}

// The folder goes away while the command-line file loads (the load lets
// pending events run): the window says so once and keeps its folder.
TEST(OpenFile, CommandLineFolderThatCannotBeEnteredIsReported) {
    testsupport::widgetApp();
    const auto dir = testsupport::tempDir("mainform-gone");
    fs::create_directories(dir / "going");
    const fs::path gif = dir / "going" / "anim.gif";
    WriteGif(gif, {"red", "blue"}, 8, 8);
    const KeepCurrentFolder keep;
    const QString before = QDir::currentPath();
    const CaughtMessages messages;
    QTimer::singleShot(0, [&] { fs::remove_all(dir / "going"); });
    CommandLineFile() = Q(gif);
    TMainForm form;
    ASSERT_FALSE(fs::exists(dir / "going")) << "the folder went during the load";
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_NE(messages.texts[0].find("going"), std::string::npos) << messages.texts[0];
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(form.Directory(), before);
    EXPECT_EQ(form.AniGifImage1->Frames()->size(), 2u);
}

// Once the window is closing, a still picture's load is cancelled instead
// of letting events run under a window that is going away.
TEST(OpenFile, StillLoadIsCancelledWhileTheWindowCloses) {
    testsupport::widgetApp();
    const auto dir = testsupport::tempDir("mainform-closing");
    WriteStill(dir / "big.png", Qt::cyan, 400, 300);
    const CaughtMessages messages;
    TMainForm form;
    form.show();
    form.OpenFile(Q(dir / "big.png"), TMainForm::TOpenFrom::OpenDialog);
    EXPECT_FALSE(form.MultiImage1->Picture().Empty()) << "loads while the window is open";
    form.close();
    EXPECT_TRUE(form.Closing());
    form.OpenFile(Q(dir / "big.png"), TMainForm::TOpenFrom::OpenDialog);
    EXPECT_TRUE(form.MultiImage1->Picture().Empty());
}
