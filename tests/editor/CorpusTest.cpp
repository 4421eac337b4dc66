// Every readable GIF of the shared corpus through the editor: each frame
// into the panels, a few playback steps, a save of all frames, and the
// saved file read back with the same frames.
#include "EditorTestSupport.h"
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "imaging/animated/PVWebImage.h"

#include <QAction>
#include <QListWidget>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

TEST(EditorCorpus, EveryReadableGifLoadsPlaysAndSavesWhole) {
    testsupport::widgetApp();
    const fs::path corpus = testsupport::corpusDir();
    if (corpus.empty()) GTEST_SKIP() << "the shared corpus is not there";
    const fs::path out = testsupport::tempDir("editor-corpus") / "saved.gif";
    int tried = 0;
    for (const auto& entry : fs::recursive_directory_iterator(corpus)) {
        std::string ext = entry.path().extension().string();
        for (char& c : ext)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        if (ext != ".gif" || entry.file_size() > 200 * 1024) continue;
        PVWebImage source;
        source.OnPvlibError = [](PVAnimationModel*, int16_t, const std::string&, const char*) {};
        try {
            source.LoadFromFile(entry.path().string());
        } catch (const std::exception&) {
            continue; // refused files are the readers' tests' business
        }
        // A lone picture becomes one frame, as "Edit Gif" makes it.
        source.FrameFromSingleImage();
        if (source.Frames()->empty()) continue;
        SCOPED_TRACE(entry.path().string());
        ++tried;
        editortest::OwnedAnimation animation;
        std::swap(animation.frames, *source.Frames());
        std::swap(animation.comments, *source.Comments());
        TGifEdit edit;
        editortest::attach(edit, animation);
        const int shown = std::min<int>(int(animation.frames.size()), 20);
        for (int i = 0; i < shown; ++i) {
            edit.GifNameBox->setCurrentRow(i);
            edit.LoadFrameIntoPanels();
        }
        edit.Play1->trigger();
        for (int step = 0; step < 5; ++step)
            edit.Timer1Timer();
        edit.Play1->trigger();
        // Frames without a picture are refused as a whole; the others save.
        const bool whole = std::all_of(animation.frames.begin(), animation.frames.end(),
                                       [](const TMyGifAnimation* r) { return r->DibHandle != 0; });
        if (!whole) continue;
        ASSERT_TRUE(edit.SaveFramesTo(animation.frames, true, out.string()));
        PVAnimationModel reread;
        reread.LoadFromFile(out.string());
        reread.FrameFromSingleImage();
        EXPECT_EQ(reread.Frames()->size(), animation.frames.size());
        EXPECT_EQ(reread.Comments()->size(), animation.comments.size());
    }
    EXPECT_GT(tried, 80);
}
