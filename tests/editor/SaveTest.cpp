// Saving from the editor: the choice and file dialogs answered as a user
// would, the files read back with giflib (and once with Pillow).
#include "EditorTestSupport.h"
#include "GiflibScreens.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "app/dialogs/ModalDriver.h"
#include "editor/TAllOrSel.h"
#include "imaging/animated/AnimationFixtures.h"
#include "platform/Message.h"
#include "platform/ScopeGuards.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <cstdio>
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace fs = std::filesystem;
using dialogtest::OnModal;
using Values = std::vector<std::vector<int>>;
using Texts = std::vector<std::string>;

namespace {

const Texts kComments = {"first comment\nline two", "second"};

// Frames that differ in every field a file keeps, screens included, so a
// file shows which records went into it and which one came first.
void fill(editortest::OwnedAnimation& animation, int frames) {
    for (int i = 0; i < frames; ++i) {
        TMyGifAnimation* record = fixtures::frame(
            16, 12, 8, [i](int x, int y) { return uint8_t((x + y + i) % 7); },
            [i](int c) {
                return RGBQUAD{uint8_t(c * 30), uint8_t(i * 40), 9, 0};
            });
        record->ScreenWidth = uint16_t(40 + i);
        record->ScreenHeight = uint16_t(30 + i);
        record->Left = int16_t(2 * i);
        record->Top = int16_t(i);
        record->Delay = uint16_t(10 + i);
        record->Disposal = uint8_t(i % 3);
        animation.frames.push_back(record);
    }
    animation.comments.push_back(new TStringList{"first comment", "line two"});
    animation.comments.push_back(new TStringList{"second"});
}

// Screen size, then left, top, delay and disposal of each image; and the
// comments (short, so one sub-block each).
std::pair<Values, Texts> readGif(const fs::path& path) {
    Values values;
    Texts comments;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif || DGifSlurp(gif) != GIF_OK) ADD_FAILURE() << "giflib cannot read " << path;
    if (!gif) return {};
    values.push_back({gif->SWidth, gif->SHeight});
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        for (int b = 0; b < image.ExtensionBlockCount; ++b)
            if (image.ExtensionBlocks[b].Function == COMMENT_EXT_FUNC_CODE)
                comments.emplace_back(reinterpret_cast<char*>(image.ExtensionBlocks[b].Bytes),
                                      size_t(image.ExtensionBlocks[b].ByteCount));
        GraphicsControlBlock control{};
        DGifSavedExtensionToGCB(gif, i, &control);
        values.push_back(
            {image.ImageDesc.Left, image.ImageDesc.Top, control.DelayTime, control.DisposalMode});
    }
    DGifCloseFile(gif, &error);
    return {values, comments};
}

// Clicks Save and answers the choice dialog (not shown for one frame) with
// the named radio button, nullptr for Cancel, and the file dialog with the
// file, empty for Cancel. Answers the peak of the progress bar.
int save(TGifEdit& edit, const char* choice, bool comments, const fs::path& file) {
    int peak = 0;
    QObject::connect(edit.PBar, &QProgressBar::valueChanged, &edit,
                     [&peak](int value) { peak = std::max(peak, value); });
    const auto answerFile = [file](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr) << "expected the file dialog";
        if (file.empty()) return dialog->reject();
        dialog->selectFile(QString::fromStdString(file.string()));
        static_cast<QDialog*>(dialog)->accept(); // the file dialog's own checks run
    };
    const auto answerChoice = [=](QWidget* modal) {
        auto* dialog = qobject_cast<TAllOrSel*>(modal);
        ASSERT_NE(dialog, nullptr) << "expected the choice dialog";
        if (!choice) return dialog->CancelBtn->click();
        dialog->findChild<QRadioButton*>(choice)->setChecked(true);
        dialog->Inc_Com->setChecked(comments);
        OnModal(answerFile);
        dialog->OKBtn->click();
    };
    if (edit.FFrameList->size() == 1)
        OnModal(answerFile);
    else
        OnModal(answerChoice);
    edit.SaveBtnClick();
    QObject::disconnect(edit.PBar, nullptr, &edit, nullptr);
    return peak;
}

struct Row {
    const char* name;
    int frames;
    std::vector<int> selected;
    const char* choice;
    bool comments;
    const char* chosen; // typed in the file dialog; nullptr cancels it
    int broken;         // a frame without a picture, or -1
    // The files there must be afterwards, and no other, with the positions
    // of the frames each holds; none for a file that keeps its old bytes.
    std::map<std::string, std::vector<int>> files;
};

TEST(Save, WritesTheChosenFramesAndNothingElse) {
    testsupport::widgetApp();
    // clang-format off
    const Row rows[] = {
        {"all to one", 3, {}, "r_All", false, "a.gif", -1, {{"a.gif", {0, 1, 2}}}},
        {"selected to one", 5, {1, 4}, "r_Sel", true, "a.gif", -1, {{"a.gif", {1, 4}}}},
        {"all to each", 3, {}, "r_All_ind", true, "a.gif", -1, {{"a_0.GIF", {0}}, {"a_1.GIF", {1}}, {"a_2.GIF", {2}}}},
        // List positions, not a count of the files written.
        {"selected to each", 5, {1, 4}, "r_Sel_ind", false, "a.gif", -1, {{"a_1.GIF", {1}}, {"a_4.GIF", {4}}}},
        {"two dots", 2, {}, "r_All_ind", true, "my.anim.gif", -1, {{"my.anim_0.GIF", {0}}, {"my.anim_1.GIF", {1}}}},
        // No choice is asked, and the comments are written.
        {"one frame", 1, {}, nullptr, false, "a.gif", -1, {{"a.gif", {0}}}},
        {"choice cancelled", 3, {}, nullptr, true, "a.gif", -1, {}},
        {"file dialog cancelled", 3, {}, "r_All", true, nullptr, -1, {}},
        // A failure is told once, keeps what was on disk and ends the save.
        {"one file fails", 3, {}, "r_All", true, "a.gif", 1, {{"a.gif", {}}}},
        {"file per frame fails", 3, {}, "r_All_ind", true, "a.gif", 1, {{"a_0.GIF", {0}}, {"a_1.GIF", {}}}},
    };
    // clang-format on
    const std::vector<unsigned char> old{'o', 'l', 'd'};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        editortest::OwnedAnimation animation;
        fill(animation, row.frames);
        if (row.broken >= 0) // GlobalFree answers 0 once the block is gone
            animation.frames[size_t(row.broken)]->DibHandle =
                GlobalFree(animation.frames[size_t(row.broken)]->DibHandle);
        const TFrameList records = animation.frames;
        TGifEdit edit;
        editortest::attach(edit, animation);
        for (int i : row.selected)
            edit.GifNameBox->item(i)->setSelected(true);
        const fs::path folder = testsupport::tempDir("editor-save");
        for (const auto& [file, positions] : row.files)
            if (positions.empty()) testsupport::writeFile(folder / file, old);

        Texts messages;
        SetMessageHandler(
            [](const char* text, void* to) { static_cast<Texts*>(to)->push_back(text); },
            &messages);
        const int peak =
            save(edit, row.choice, row.comments, row.chosen ? folder / row.chosen : fs::path());
        SetMessageHandler(nullptr, nullptr);

        ASSERT_EQ(messages.size(), row.broken >= 0 ? 1u : 0u);
        const std::string message = messages.empty() ? "" : messages[0];
        EXPECT_EQ(message.find("has no picture") != std::string::npos, row.broken >= 0) << message;
        std::set<std::string> expected, found;
        bool written = false;
        for (const auto& [file, positions] : row.files) {
            SCOPED_TRACE(file);
            expected.insert(file);
            if (positions.empty()) {
                EXPECT_EQ(testsupport::readFile(folder / file), old);
                continue;
            }
            written = true;
            // The message says which files were written before the failure.
            EXPECT_EQ(message.find(file) != std::string::npos, row.broken >= 0) << message;
            const TMyGifAnimation* first = records[size_t(positions.front())];
            Values values{{first->ScreenWidth, first->ScreenHeight}};
            for (int i : positions)
                values.push_back({records[size_t(i)]->Left, records[size_t(i)]->Top,
                                  records[size_t(i)]->Delay, records[size_t(i)]->Disposal});
            EXPECT_EQ(readGif(folder / file),
                      std::pair(values, row.comments || row.frames == 1 ? kComments : Texts{}));
        }
        for (const auto& entry : fs::directory_iterator(folder))
            found.insert(entry.path().filename().string());
        EXPECT_EQ(found, expected);
        EXPECT_EQ(peak, written ? 100 : 0);
        EXPECT_EQ(edit.PBar->value(), 0);
        EXPECT_EQ(edit.TempImage(), nullptr);
        // The records and blocks stay the main window's: freeing one would
        // fail under ASan when the animation frees them.
    }
}

// "Optimize file size": unticked at first, remembered once confirmed with
// OK; the optimised file shows what the plain one shows, in fewer bytes,
// and the records stay as they were.
TEST(Save, OptimizeFileSizeIsRemembered) {
    testsupport::widgetApp();
    const fs::path dir = testsupport::tempDir("editor-save-optimize");
    // Settings of this test's own, so no other test saves with the box ticked.
    const std::string home = std::getenv("ZENTROPE_HOME");
    setenv("ZENTROPE_HOME", dir.c_str(), 1);
    zp::AtExit restore{[&home] { setenv("ZENTROPE_HOME", home.c_str(), 1); }};
    editortest::OwnedAnimation animation;
    for (int i = 0; i < 4; ++i) {
        TMyGifAnimation* record = fixtures::frame(
            40, 30, 8,
            [i](int x, int y) { return uint8_t(x / 4 == i + 2 && y > 9 ? 5 : (x + y) % 3); },
            [](int c) {
                return RGBQUAD{uint8_t(c * 40), 90, 9, 0};
            });
        record->ScreenWidth = 40;
        record->ScreenHeight = 30;
        record->Delay = 10;
        animation.frames.push_back(record);
    }
    const std::vector<HGLOBAL> pictures = {animation.frames[0]->DibHandle,
                                           animation.frames[3]->DibHandle};
    TGifEdit edit;
    editortest::attach(edit, animation);
    std::vector<bool> shown;
    const auto saveTo = [&](const fs::path& file, bool tick) {
        OnModal([&shown, file, tick](QWidget* modal) {
            auto* dialog = qobject_cast<TAllOrSel*>(modal);
            ASSERT_NE(dialog, nullptr) << "expected the choice dialog";
            shown.push_back(dialog->Opt_Size->isChecked());
            dialog->Opt_Size->setChecked(tick);
            OnModal([file](QWidget* next) {
                auto* files = qobject_cast<QFileDialog*>(next);
                ASSERT_NE(files, nullptr) << "expected the file dialog";
                files->selectFile(QString::fromStdString(file.string()));
                static_cast<QDialog*>(files)->accept();
            });
            dialog->OKBtn->click();
        });
        edit.SaveBtnClick();
    };
    saveTo(dir / "plain.gif", false);
    saveTo(dir / "small.gif", true);
    saveTo(dir / "again.gif", false);
    EXPECT_EQ(shown, (std::vector<bool>{false, false, true}));
    EXPECT_FALSE(TAllOrSel::OptimizeRemembered());

    const auto plain = giflibscreens::compose((dir / "plain.gif").string());
    const auto small = giflibscreens::compose((dir / "small.gif").string());
    ASSERT_EQ(plain.frames.size(), 4u);
    EXPECT_TRUE(small.frames == plain.frames);
    EXPECT_LT(fs::file_size(dir / "small.gif"), fs::file_size(dir / "plain.gif"));
    EXPECT_EQ(testsupport::readFile(dir / "again.gif"), testsupport::readFile(dir / "plain.gif"));
    ASSERT_EQ(edit.FFrameList->size(), 4u);
    EXPECT_EQ(
        (std::vector<HGLOBAL>{(*edit.FFrameList)[0]->DibHandle, (*edit.FFrameList)[3]->DibHandle}),
        pictures);
}

TEST(Save, PillowReadsTheAnimation) {
    testsupport::widgetApp();
    if (std::system("/usr/bin/python3 -c 'import PIL' 2>/dev/null") != 0)
        GTEST_SKIP() << "Pillow is not installed";
    editortest::OwnedAnimation animation;
    fill(animation, 3);
    TGifEdit edit;
    editortest::attach(edit, animation);
    const fs::path file = testsupport::tempDir("editor-save-pil") / "a.gif";
    save(edit, "r_All", true, file);

    const std::string command =
        "/usr/bin/python3 -c \"from PIL import Image, ImageSequence as S; im = Image.open('" +
        file.string() +
        "'); print(im.size, im.n_frames, im.info.get('comment'),"
        " [f.info['duration'] for f in S.Iterator(im)])\"";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[256] = {};
    const bool read = std::fgets(line, sizeof line, pipe) != nullptr;
    pclose(pipe);
    ASSERT_TRUE(read);
    EXPECT_STREQ(line, "(40, 30) 3 b'first comment\\nline two\\nsecond' [100, 110, 120]\n");
}

} // namespace
