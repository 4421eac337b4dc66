// Topics, contents, help on help and history through the real help file.
#include "HelpFixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTextBrowser>
#include <QToolButton>

namespace {

struct TopicCase {
    const char* topic;
    const char* page;
    const char* title;
};

const TopicCase kTopics[] = {
    {"Help_system", "contents.html", "Zentrope Help Contents"},
    {"_WEB__Edit_MMain", "mainwindow.html", "The Main Window"},
    {"Open_Edit_Gif_", "editor.html", "The Animated Gif Editor"},
    {"Frame_Info", "frameinfo.html", "Frame Info"},
    {"Palette_Info", "paletteinfo.html", "Palette Info"},
    {"Image_Info", "imageinfo.html", "Image Info"},
    {"Select_Frames", "selectframes.html", "Apply to All Selected Frames"},
    {"___Crop_the_selected_frames.", "crop.html", "Crop the Selected Frames"},
    {"__Resize_the_selected_frames", "resize.html", "Resize the Selected Frames"},
    {"Rotate_Frame", "rotate.html", "Rotate a Frame"},
    {"___Make_gif_sequence_from_an_AVI_video_file.", "video.html",
     "Make a Gif Sequence from an AVI Video File"},
};

TEST_F(HelpTest, HelpFileDefaultsToTheBuiltFileBesideTheProgram) {
    SetHelpFile(BuiltHelpFile());
    EXPECT_TRUE(QFile::exists(QString::fromStdString(HelpFile())));
    EXPECT_EQ(HelpFile().substr(HelpFile().rfind('/')), "/zentrope.hlp");
}

TEST_F(HelpTest, EveryTopicStringOpensItsPage) {
    for (const TopicCase& c : kTopics) {
        SCOPED_TRACE(c.topic);
        ASSERT_TRUE(HelpJump(c.topic));
        THelpWindow* window = HelpWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->CurrentPage(), c.page);
        EXPECT_EQ(window->CurrentTitle(), c.title);
        // The heading repeats the title, so the first line the user reads names the subject.
        EXPECT_TRUE(window->Browser()->toPlainText().startsWith(c.title));
        EXPECT_EQ(window->windowTitle().toStdString(), std::string("Zentrope Help - ") + c.title);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(HelpTest, PageIsDrawnInTheBrowser) {
    ASSERT_TRUE(HelpJump("Frame_Info"));
    QTextBrowser* browser = HelpWindow()->Browser();
    browser->resize(400, 300);
    const QImage image = browser->viewport()->grab().toImage();
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 100;
    EXPECT_GT(dark, 200); // the heading and the text, not an empty page
}

TEST_F(HelpTest, ContentsAndHelpOnHelpOpenTheirPages) {
    const struct {
        int command;
        const char* page;
    } cases[] = {{HELP_CONTENTS, "contents.html"}, {HELP_HELPONHELP, "howtouse.html"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        ASSERT_TRUE(HelpCommand(c.command));
        EXPECT_EQ(HelpWindow()->CurrentPage(), c.page);
    }
    ASSERT_TRUE(HelpJump("Rotate_Frame"));
    HelpWindow()->ContentsButton()->click();
    EXPECT_EQ(HelpWindow()->CurrentPage(), "contents.html");
    EXPECT_TRUE(messages.empty());
}

TEST_F(HelpTest, BackAndForwardWalkTheHistory) {
    ASSERT_TRUE(HelpJump("Image_Info"));
    ASSERT_TRUE(HelpJump("Palette_Info"));
    ASSERT_TRUE(HelpJump("Select_Frames"));
    THelpWindow* window = HelpWindow();
    EXPECT_TRUE(window->BackButton()->isEnabled());
    EXPECT_FALSE(window->ForwardButton()->isEnabled());
    window->BackButton()->click();
    EXPECT_EQ(window->CurrentPage(), "paletteinfo.html");
    window->BackButton()->click();
    EXPECT_EQ(window->CurrentPage(), "imageinfo.html");
    EXPECT_TRUE(window->ForwardButton()->isEnabled());
    window->ForwardButton()->click();
    EXPECT_EQ(window->CurrentPage(), "paletteinfo.html");
    // A page opened from the browser is history too.
    window->Browser()->setSource(QUrl("qrc:/zentrope-help/frameinfo.html#transparent"));
    EXPECT_EQ(window->CurrentPage(), "frameinfo.html");
    EXPECT_FALSE(window->ForwardButton()->isEnabled());
    window->BackButton()->click();
    EXPECT_EQ(window->CurrentPage(), "paletteinfo.html");
}

TEST_F(HelpTest, UnknownCommandIsRefusedWithOneMessage) {
    EXPECT_FALSE(HelpCommand(2));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find('2'), std::string::npos);
}

} // namespace
