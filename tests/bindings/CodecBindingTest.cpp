#include "bindings/CodecBinding.h"
#include "libs/codec/CodecErrors.h"
#include "platform/GlobalMemory.h"
#include "platform/Message.h"
#include "platform/Module.h"
#include "platform/Profile.h"

#include "TestSupport.h"
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using namespace DLL96V1;

namespace {

std::vector<std::string> shownMessages;
void collect(const char* text, void*) {
    shownMessages.emplace_back(text);
}

struct MessageCapture {
    MessageCapture() {
        shownMessages.clear();
        SetMessageHandler(&collect, nullptr);
    }
    ~MessageCapture() { SetMessageHandler(nullptr, nullptr); }
};

// A file of n bytes that starts like a GIF and then has nothing valid.
fs::path fileOfSize(const fs::path& dir, size_t n) {
    std::vector<unsigned char> bytes(n, 0);
    const char magic[] = "GIF89a";
    for (size_t i = 0; i < 6 && i < n; ++i)
        bytes[i] = (unsigned char)magic[i];
    const fs::path path = dir / ("size" + std::to_string(n) + ".gif");
    testsupport::writeFile(path, bytes);
    return path;
}

int16_t countingLoad(uintptr_t dib, const MyGifHeader*, const MyGifImageDescriptor*,
                     const MyGifGraphicControlBlock*, int32_t, const char*, int16_t, void* user) {
    if (dib) GlobalFree(dib);
    ++*static_cast<int*>(user);
    return 1;
}

} // namespace

TEST(CodecBinding, FilesUnderFiftyBytesNeverReachTheLibrary) {
    MessageCapture messages;
    const auto dir = testsupport::tempDir("binding");
    int calls = 0;
    EXPECT_FALSE(an_rdgiffiledib(fileOfSize(dir, 49).string(), 0, &countingLoad, &calls));
    EXPECT_EQ(calls, 0) << "the library was not called";
    EXPECT_EQ(CodecLastErrorCode, PVE_TOO_SHORT);
    EXPECT_FALSE(CodecLastErrorText.empty()) << "the failure still has a text for the caller";
    HGLOBAL dib = 0;
    EXPECT_FALSE(rdgiffiledib(fileOfSize(dir, 10).string(), 0, false, dib, nullptr, nullptr));
    FileInformation info;
    EXPECT_FALSE(fileinfo(fileOfSize(dir, 0).string(), info));
    EXPECT_TRUE(shownMessages.empty()) << "and no message is shown";

    // Fifty bytes reach the library, which answers with its own error.
    EXPECT_FALSE(an_rdgiffiledib(fileOfSize(dir, 50).string(), 0, &countingLoad, &calls));
    EXPECT_NE(CodecLastErrorCode, PVE_TOO_SHORT);
    EXPECT_LT(CodecLastErrorCode, 0);
    EXPECT_EQ(CodecStatusText, "Reading " + (dir / "size50.gif").string());
    char expected[256];
    LoadModuleString(CodecLibrary, uint16_t(CodecLastErrorCode), expected, sizeof expected);
    EXPECT_EQ(CodecLastErrorText, expected) << "text is the library's string for the code";
    EXPECT_FALSE(CodecLastErrorText.empty());
}

TEST(CodecBinding, MissingFileIsAnErrorWithText) {
    EXPECT_FALSE(an_rdgiffiledib("/nonexistent/none.gif", 0, &countingLoad, nullptr));
    EXPECT_EQ(CodecLastErrorCode, PVE_OPEN);
    EXPECT_FALSE(CodecLastErrorText.empty());
}

TEST(CodecBinding, LibraryLoadsOnceAndEntryPointsResolve) {
    void* slot = nullptr;
    ASSERT_TRUE(LoadCodecProc(CodecLibrary, kCodecDll, "an_rdgiffiledib", slot));
    const uintptr_t first = CodecLibrary;
    EXPECT_GE(first, 32u);
    EXPECT_NE(slot, nullptr);
    void* again = nullptr;
    ASSERT_TRUE(LoadCodecProc(CodecLibrary, kCodecDll, "an_wtgiffiledib", again));
    EXPECT_EQ(CodecLibrary, first) << "a second call reuses the loaded library";
    void* missing = reinterpret_cast<void*>(1);
    EXPECT_FALSE(LoadCodecProc(CodecLibrary, kCodecDll, "NoSuchEntryPoint", missing));
    EXPECT_EQ(missing, nullptr);
}

TEST(CodecBinding, SearchOrderFindsTheSystemFolderAndRefusesForeignNames) {
    MessageCapture messages;
    const auto system = testsupport::tempDir("system");
    // A copy of the codec under another name exists only in the system folder.
    fs::copy_file(fs::path(ProgramFolder()) / "libpvcx96v3.so", system / "libpvcxsys.so");
    setenv("ZENTROPE_SYSTEM_DIR", system.c_str(), 1);
    uintptr_t library = 0;
    void* slot = nullptr;
    EXPECT_TRUE(LoadCodecProc(library, "PVCXSYS.DLL", "fileinfo", slot));
    EXPECT_GE(library, 32u);
    EXPECT_NE(slot, nullptr);
    FreeModule(library);

    // A library that is found but has a foreign name is refused and freed.
    fs::copy_file(system / "libpvcxsys.so", system / "libforeign.so");
    library = 0;
    EXPECT_FALSE(LoadCodecProc(library, "FOREIGN.DLL", "fileinfo", slot));
    EXPECT_EQ(library, 0u);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0], "Wrong dll Name in DLL96V1");

    // Nowhere at all: the exception names the file.
    library = 0;
    try {
        LoadCodecProc(library, "Q3TIFNONE.DLL", "getinfo", slot);
        FAIL() << "no exception";
    } catch (const ErrorInvalid& e) {
        EXPECT_STREQ(
            e.what(),
            "Can't load Q3TIFNONE.DLL. Make sure its located in the application's searchpath.");
    }
    unsetenv("ZENTROPE_SYSTEM_DIR");
}

TEST(CodecBinding, FaultGuardShowsItsMessageAndKeepsTheErrorCode) {
    MessageCapture messages;
    CodecLastErrorCode = -7;
    int32_t result = 0;
    EXPECT_FALSE(Guarded([]() -> int32_t { throw std::bad_alloc(); }, result));
    EXPECT_EQ(CodecLastErrorCode, -7);
    ASSERT_EQ(shownMessages.size(), 1u);
    EXPECT_EQ(shownMessages[0],
              "An exception error occured in the pictavo dll. We recommend to exit the application "
              "and to restart it by clicking its icon!");
    EXPECT_TRUE(Guarded([] { return int32_t(5); }, result));
    EXPECT_EQ(result, 5);
}

TEST(CodecBinding, StartupRecordsTheProgramName) {
    Startup("/opt/Zentrope/bin/Zentrope");
    char name[64];
    GetPrivateProfileString("Pictavo Twain", "App Name", "", name, sizeof name, "pvtwain.ini");
    EXPECT_STREQ(name, "zentrope");
    EXPECT_TRUE(fs::exists(fs::path(WindowsFolder()) / "pvtwain.ini"));
    EXPECT_EQ(CodecLastErrorCode, 0);
}

TEST(CodecBinding, DepthFilterAndCompressionTables) {
    struct Depth {
        int32_t screen, expected;
    } depths[] = {{1, 4}, {4, 4}, {8, 8}, {15, 8}, {16, 24}, {24, 24}, {32, 24}};
    for (const Depth& d : depths) {
        SetScreenBitsPerPixel(d.screen);
        EXPECT_EQ(DefaultColorDepth(), d.expected) << d.screen;
    }
    SetScreenBitsPerPixel(24);

    struct Name {
        int32_t code;
        const char* name;
    } names[] = {{1, "NONE"}, {2, "CCITT3"},       {3, "FAXCCITT3"}, {4, "FAXCCITT4"},
                 {5, "LZW"},  {32773, "PACKBITS"}, {7, "UNKNOWN"},   {0, "UNKNOWN"}};
    for (const Name& n : names)
        EXPECT_EQ(TiffCompressionName(n.code), n.name);

    WriteProfileString("mci extensions", nullptr, nullptr);
    const std::string plain = SupportedFormatsFilter();
    EXPECT_EQ(plain.rfind("All Supported Media Formats|*.BMP;*.CMS;*.GIF;*.JPG;*.PCX;*.PNG;*.SCM;"
                          "*.TIF;*.PCD;*.EMF;*.WMF;*.TGA;|Windows Bitmap    (BMP) |*.BMP",
                          0),
              0u);
    EXPECT_EQ(plain.find("WAV"), std::string::npos);
    EXPECT_NE(plain.find("|Targe Image    (TGA) |*.TGA"), std::string::npos);
    WriteProfileString("mci extensions", "avi", "AVIVideo");
    WriteProfileString("mci extensions", "wav", "waveaudio");
    const std::string media = SupportedFormatsFilter();
    EXPECT_NE(media.find("*.TGA;*.WAV;*.AVI;|"), std::string::npos);
    EXPECT_NE(media.find("|Wave Sound    (WAV) |*.WAV|Video for Windows    (AVI) |*.AVI"),
              std::string::npos);
    EXPECT_EQ(media.find("MOV"), std::string::npos);
    WriteProfileString("mci extensions", nullptr, nullptr);
}
