#include "AnimationFixtures.h"
#include "TestSupport.h"

#include "bindings/CodecBinding.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "libs/codec/CodecErrors.h"
#include "platform/GlobalBlock.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using fixtures::frame;

namespace {

RGBQUAD grey(int i) {
    return RGBQUAD{uint8_t(i * 3), uint8_t(i * 5), uint8_t(255 - i), 0};
}

// Three frames of 8, 4 and 1 bits with every per-frame field set, and two
// comment blocks.
void fillAnimation(PVAnimationModel& model) {
    auto* a = frame(
        30, 20, 8, [](int x, int y) { return uint8_t((x * 7 + y * 3) % 256); }, grey);
    a->ScreenWidth = 64;
    a->ScreenHeight = 48;
    a->ScreenColors = 255;
    a->BackgroundColor = RGB(grey(9).rgbRed, grey(9).rgbGreen, grey(9).rgbBlue);
    a->Left = 3;
    a->Top = 4;
    a->Delay = 25;
    a->Disposal = 2;
    a->HasTransparency = 1;
    a->TransparentIndex = 17;
    a->Loops = 5;
    auto* b = frame(
        13, 9, 4, [](int x, int y) { return uint8_t((x + y) % 16); },
        [](int i) {
            return RGBQUAD{uint8_t(i * 16), 0, uint8_t(200 - i), 0};
        });
    b->Left = 40;
    b->Top = 30;
    b->Interlaced = 1;
    b->UseLocalPalette = 1;
    b->LocalColors = 16;
    b->Disposal = 1;
    b->Delay = 0;
    auto* c = frame(
        17, 11, 1, [](int x, int y) { return uint8_t((x ^ y) & 1); },
        [](int i) {
            return i ? RGBQUAD{255, 255, 255, 0} : RGBQUAD{0, 0, 0, 0};
        });
    c->UseLocalPalette = 1;
    c->LocalColors = 2;
    c->Disposal = 3;
    c->Delay = 300;
    for (auto* f : {a, b, c})
        model.Frames()->push_back(f);
    model.Comments()->push_back(new TStringList{"first block", "second line"});
    model.Comments()->push_back(new TStringList{std::string(700, 'x')});
}

} // namespace

TEST(PVAnimationModel, SaveAndLoadKeepEveryFieldPixelAndComment) {
    const auto dir = testsupport::tempDir("model");
    const fs::path file = dir / "Round Trip.GIF";
    PVAnimationModel source;
    fillAnimation(source);
    int finished = 0;
    source.OnFinishedLoadSave = [&](PVAnimationModel*) { ++finished; };
    source.SaveToFile(file.string());
    EXPECT_EQ(finished, 1);
    EXPECT_EQ(source.FileName(), (dir / "round trip.gif").string());

    PVAnimationModel loaded;
    loaded.MapTransparentColor = 0xFFFFFFFF; // keep the file's transparent colour
    std::vector<int> progress;
    loaded.OnProgress = [&](PVAnimationModel*, int p, int, const MyGifHeader* h,
                            const MyGifImageDescriptor*, const MyGifGraphicControlBlock*) {
        EXPECT_EQ(h, nullptr);
        progress.push_back(p);
    };
    loaded.LoadFromFile(file.string());
    ASSERT_EQ(loaded.Frames()->size(), 3u);
    EXPECT_FALSE(progress.empty());
    EXPECT_TRUE(loaded.GifMode);
    EXPECT_EQ(loaded.FramesLoaded, 3);
    EXPECT_EQ(loaded.ScreenWidth, 64);
    EXPECT_EQ(loaded.ScreenHeight, 48);
    for (size_t i = 0; i < 3; ++i) {
        const TMyGifAnimation& s = *(*source.Frames())[i];
        const TMyGifAnimation& l = *(*loaded.Frames())[i];
        SCOPED_TRACE("frame " + std::to_string(i));
        EXPECT_EQ(l.Name, "Frame " + std::to_string(i + 1) + " of round trip.gif");
        EXPECT_EQ(l.ScreenWidth, 64);
        EXPECT_EQ(l.ScreenHeight, 48);
        EXPECT_EQ(l.ScreenColors, 255);
        EXPECT_EQ(l.BackgroundColor, (*source.Frames())[0]->BackgroundColor);
        EXPECT_EQ(l.Left, s.Left);
        EXPECT_EQ(l.Top, s.Top);
        EXPECT_EQ(l.Width, s.Width);
        EXPECT_EQ(l.Height, s.Height);
        EXPECT_EQ(l.Interlaced, s.Interlaced);
        EXPECT_EQ(l.UseLocalPalette, s.UseLocalPalette);
        EXPECT_EQ(l.LocalColors, s.LocalColors);
        EXPECT_EQ(l.Disposal, s.Disposal);
        EXPECT_EQ(l.HasTransparency, s.HasTransparency);
        if (s.HasTransparency) {
            EXPECT_EQ(l.TransparentIndex, s.TransparentIndex);
        }
        EXPECT_EQ(l.Delay, s.Delay);
        EXPECT_EQ(l.Loops, 5) << "the first record's loop count is the file's";
        ASSERT_NE(l.DibHandle, 0u);
        EXPECT_NE(l.DibHandle, s.DibHandle);
        for (int y = 0; y < s.Height; ++y)
            for (int x = 0; x < s.Width; ++x) {
                const RGBQUAD a =
                    fixtures::colourOf(s.DibHandle, fixtures::indexAt(s.DibHandle, x, y));
                const RGBQUAD b =
                    fixtures::colourOf(l.DibHandle, fixtures::indexAt(l.DibHandle, x, y));
                ASSERT_TRUE(a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen &&
                            a.rgbBlue == b.rgbBlue)
                    << "pixel " << x << "," << y;
            }
    }
    ASSERT_EQ(loaded.Comments()->size(), 2u);
    EXPECT_EQ(*(*loaded.Comments())[0], (TStringList{"first block", "second line"}));
    EXPECT_EQ(*(*loaded.Comments())[1], TStringList{std::string(700, 'x')});
    EXPECT_EQ(loaded.CurrentDib()->Width(), 17) << "the last image delivered is on display";
    EXPECT_EQ(loaded.DisplayedDisposal, 3);
}

TEST(PVAnimationModel, SingleImageIsShownWithoutFrames) {
    const auto dir = testsupport::tempDir("single");
    PVAnimationModel source;
    source.Frames()->push_back(frame(
        8, 6, 8, [](int x, int) { return uint8_t(x); }, grey));
    source.Frames()->front()->Loops = 1;
    source.Frames()->front()->ScreenWidth = 8;
    source.Frames()->front()->ScreenHeight = 6;
    source.SaveToFile((dir / "one.gif").string());

    PVAnimationModel loaded;
    loaded.LoadFromFile((dir / "one.gif").string());
    EXPECT_TRUE(loaded.Frames()->empty());
    ASSERT_NE(loaded.CurrentDib()->Dib(), nullptr);
    EXPECT_EQ(loaded.CurrentDib()->Width(), 8);
    EXPECT_EQ(loaded.FramesLoaded, 0);
    EXPECT_THROW(loaded.SaveToFile((dir / "again.gif").string()), ErrorInvalid);
}

TEST(PVAnimationModel, FailuresAreReported) {
    const auto dir = testsupport::tempDir("fail");
    PVAnimationModel model;
    fillAnimation(model);
    try {
        model.LoadFromFile((dir / "missing.gif").string());
        FAIL();
    } catch (const ErrorInvalid& e) {
        EXPECT_STREQ(e.what(), "Input filename isn't valid");
    }
    EXPECT_EQ(model.Frames()->size(), 3u) << "nothing changed";

    PVAnimationModel empty;
    try {
        empty.SaveToFile((dir / "empty.gif").string());
        FAIL();
    } catch (const ErrorInvalid& e) {
        EXPECT_STREQ(e.what(), "Input image is empty");
    }
    EXPECT_FALSE(fs::exists(dir / "empty.gif"));

    // A codec error goes to OnPvlibError when assigned; OnFinishedLoadSave fires last.
    testsupport::writeFile(dir / "bad.gif", std::vector<unsigned char>(80, 'z'));
    std::vector<std::string> events;
    model.OnPvlibError = [&](PVAnimationModel*, int16_t code, const std::string& text,
                             const char* ptext) {
        EXPECT_LT(code, 0);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text, ptext);
        events.push_back("error");
    };
    model.OnFinishedLoadSave = [&](PVAnimationModel*) { events.push_back("finished"); };
    model.LoadFromFile((dir / "bad.gif").string());
    EXPECT_EQ(events, (std::vector<std::string>{"error", "finished"}));
    EXPECT_TRUE(model.Frames()->empty()) << "the load replaced the animation";

    // Without a handler the codec's text is raised, after OnFinishedLoadSave.
    model.OnPvlibError = nullptr;
    events.clear();
    try {
        model.LoadFromFile((dir / "bad.gif").string());
        FAIL();
    } catch (const ErrorInvalid& e) {
        EXPECT_EQ(std::string(e.what()), DLL96V1::CodecLastErrorText);
    }
    EXPECT_EQ(events, std::vector<std::string>{"finished"});
}

TEST(PVAnimationModel, FrameWithoutPictureFailsTheSaveAndKeepsTheOldFile) {
    const auto dir = testsupport::tempDir("nopicture");
    const fs::path target = dir / "keep.gif";
    testsupport::writeFile(target, {'o', 'l', 'd'});
    PVAnimationModel model;
    fillAnimation(model);
    zp::GlobalBlock::freeFully((*model.Frames())[1]->DibHandle);
    (*model.Frames())[1]->DibHandle = 0;
    try {
        model.SaveToFile(target.string());
        FAIL();
    } catch (const ErrorInvalid& e) {
        EXPECT_NE(std::string(e.what()).find("Frame 2"), std::string::npos) << e.what();
    }
    EXPECT_EQ(testsupport::readFile(target), (std::vector<unsigned char>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST(PVAnimationModel, SaveCallbackServesFramesAndRefusesOthers) {
    PVAnimationModel model;
    fillAnimation(model);
    uintptr_t dib = 0;
    int16_t left = 0, top = 0, width = 0, height = 0;
    uint8_t local = 0, interlaced = 0, zero1 = 9, largest = 0, depth = 9, disposal = 0, zero2 = 9,
            transparent = 0, tindex = 0;
    uint16_t delay = 0;
    std::vector<char> comment(16, 'q');
    auto call = [&](int16_t frame, int16_t code, char* buffer, int32_t size) {
        return PVAnimationModel::SaveCallback(
            &dib, &left, &top, &width, &height, &local, &interlaced, &zero1, &largest, &depth,
            &disposal, &zero2, &transparent, &delay, &tindex, buffer, size, frame, code, &model);
    };
    EXPECT_EQ(call(3, PV_CODE_FRAME, nullptr, 0), PV_ANSWER_NO_FRAME);
    EXPECT_EQ(call(-1, PV_CODE_FRAME, nullptr, 0), PV_ANSWER_NO_FRAME);
    EXPECT_EQ(dib, 0u) << "nothing filled for a refused frame";
    struct Row {
        int16_t frame;
        uint8_t largest;
    } rows[] = {{0, 255}, {1, 15}, {2, 1}};
    for (const Row& r : rows) {
        ASSERT_EQ(call(r.frame, PV_CODE_FRAME, nullptr, 0), 1);
        const TMyGifAnimation& f = *(*model.Frames())[size_t(r.frame)];
        EXPECT_EQ(dib, f.DibHandle);
        EXPECT_EQ(left, f.Left);
        EXPECT_EQ(height, f.Height);
        EXPECT_EQ(largest, r.largest);
        EXPECT_EQ(depth, 1);
        EXPECT_EQ(zero1 + zero2, 0);
        EXPECT_EQ(delay, f.Delay);
        EXPECT_EQ(interlaced, f.Interlaced);
    }
    // The first comment fits; the second (700 bytes) does not fit 16 bytes.
    ASSERT_EQ(call(0, PV_CODE_COMMENT, comment.data(), int32_t(comment.size())),
              PV_ANSWER_COMMENT_TOO_LONG);
    std::vector<char> big(1024);
    ASSERT_EQ(call(0, PV_CODE_COMMENT, big.data(), int32_t(big.size())), 1);
    EXPECT_STREQ(big.data(), "first block\nsecond line");
    ASSERT_EQ(call(0, PV_CODE_COMMENT, big.data(), int32_t(big.size())), 1);
    EXPECT_EQ(std::string(big.data()), std::string(700, 'x'));
    EXPECT_EQ(comment[0], 'q') << "a buffer too small is left untouched";
}

TEST(PVAnimationModel, ClearFramesOwnershipAndSharing) {
    const uint64_t before = GlobalBlockCount();
    auto owner = std::make_unique<PVAnimationModel>();
    fillAnimation(*owner);
    {
        PVAnimationModel borrower;
        borrower.SharedFrames = true;
        for (auto* f : *owner->Frames())
            borrower.Frames()->push_back(f);
        for (auto* c : *owner->Comments())
            borrower.Comments()->push_back(c);
        borrower.ClearFrames();
        EXPECT_EQ(borrower.Frames()->size(), 3u) << "shared lists stay untouched";
    }
    EXPECT_EQ(owner->Frames()->size(), 3u);
    EXPECT_NE((*owner->Frames())[0]->DibHandle, 0u);
    GlobalLock((*owner->Frames())[0]->DibHandle); // a locked block is freed too
    owner->ClearFrames();
    EXPECT_TRUE(owner->Frames()->empty());
    EXPECT_TRUE(owner->Comments()->empty());
    EXPECT_EQ(GlobalBlockCount(), before);
    fillAnimation(*owner);
    owner.reset();
    EXPECT_EQ(GlobalBlockCount(), before) << "destruction frees everything";
}

TEST(PVAnimationModel, LoadAndClearLeakNoBlock) {
    const auto dir = testsupport::tempDir("leak");
    {
        PVAnimationModel source;
        fillAnimation(source);
        source.SaveToFile((dir / "a.gif").string());
    }
    const uint64_t before = GlobalBlockCount();
    {
        PVAnimationModel model;
        model.LoadFromFile((dir / "a.gif").string());
        model.LoadFromFile((dir / "a.gif").string()); // the second load frees the first
        std::vector<HGLOBAL> handles;
        for (auto* f : *model.Frames())
            handles.push_back(f->DibHandle);
        handles.push_back(GlobalHandle(model.CurrentDib()->Dib()));
        std::sort(handles.begin(), handles.end());
        EXPECT_EQ(std::unique(handles.begin(), handles.end()), handles.end()) << "no block shared";
        EXPECT_EQ(GlobalBlockCount(), before + 4);
    }
    EXPECT_EQ(GlobalBlockCount(), before);
}

TEST(PVAnimationModel, NewFromBitmapAndReplaceFrameBitmap) {
    zp::TBitmap bitmap;
    bitmap.setHandle(CreateDeviceBitmap(12, 7));
    for (int i = 0; i < 12 * 7; ++i)
        bitmap.bits()[i] = (i % 3 == 0) ? 0x00FF0000 : 0x000000FF;
    PVAnimationModel model;
    model.NewFromBitmap(bitmap, 4);
    ASSERT_EQ(model.Frames()->size(), 1u);
    const TMyGifAnimation& f = *model.Frames()->front();
    EXPECT_EQ(f.Name, "New Frame");
    EXPECT_EQ(f.ScreenColors, 16);
    EXPECT_EQ(f.Loops, 1);
    EXPECT_EQ(f.Width, 12);
    EXPECT_EQ(f.ScreenHeight, 7);
    EXPECT_EQ(model.ScreenWidth, 12);
    ASSERT_NE(f.DibHandle, 0u);
    EXPECT_NE(f.DibHandle, GlobalHandle(model.CurrentDib()->Dib()));
    EXPECT_TRUE(PaintingEnabled);
    const RGBQUAD red = fixtures::colourOf(f.DibHandle, fixtures::indexAt(f.DibHandle, 0, 0));
    EXPECT_EQ(red.rgbRed, 255);
    EXPECT_EQ(red.rgbBlue, 0);

    auto back = model.GetFrameBitmap();
    ASSERT_TRUE(back);
    EXPECT_EQ(back->width(), 12);
    EXPECT_EQ(back->bits()[1] & 0xFFFFFF, 0x0000FFu);

    // A failed conversion leaves the frame's picture as it was.
    const HGLOBAL kept = f.DibHandle;
    zp::TBitmap none;
    model.ReplaceFrameBitmap(none, 8);
    EXPECT_EQ(model.Frames()->front()->DibHandle, kept);
    EXPECT_TRUE(PaintingEnabled);

    PVAnimationModel eightBit;
    eightBit.NewFromBitmap(bitmap, 8);
    EXPECT_EQ(eightBit.Frames()->front()->ScreenColors, 255);
}
