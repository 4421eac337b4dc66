#include "platform/Module.h"
#include "platform/Profile.h"

#include "TestSupport.h"
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <string>

namespace {
std::string read(const char* section, const char* key, const char* file,
                 const char* fallback = "?") {
    char buffer[64];
    GetPrivateProfileString(section, key, fallback, buffer, sizeof buffer, file);
    return buffer;
}
} // namespace

TEST(Profile, ReadsWritesReplacesAndRemoves) {
    const auto dir = testsupport::tempDir("profile");
    const std::string file = (dir / "test.ini").string();
    {
        std::ofstream out(file);
        out << "; comment\r\n[Pictavo Twain]\r\nApp Name = old\r\n\r\n[Other]\r\nkey=1\r\n";
    }
    EXPECT_EQ(read("pictavo twain", "APP NAME", file.c_str()), "old")
        << "case-blind, trimmed, CRLF";
    EXPECT_EQ(WritePrivateProfileString("Pictavo Twain", "App Name", "zentrope", file.c_str()), 1);
    EXPECT_EQ(WritePrivateProfileString("Pictavo Twain", "Second", "2", file.c_str()), 1);
    EXPECT_EQ(WritePrivateProfileString("New", "k", "v", file.c_str()), 1);
    EXPECT_EQ(read("Pictavo Twain", "App Name", file.c_str()), "zentrope");
    EXPECT_EQ(read("Pictavo Twain", "Second", file.c_str()), "2");
    EXPECT_EQ(read("Other", "key", file.c_str()), "1") << "other sections survive";
    EXPECT_EQ(read("New", "k", file.c_str()), "v");
    EXPECT_EQ(WritePrivateProfileString("Other", "key", nullptr, file.c_str()), 1);
    EXPECT_EQ(read("Other", "key", file.c_str()), "?");
    EXPECT_EQ(WritePrivateProfileString("New", nullptr, nullptr, file.c_str()), 1);
    EXPECT_EQ(read("New", "k", file.c_str()), "?");

    char small[4];
    EXPECT_EQ(
        GetPrivateProfileString("Pictavo Twain", "App Name", "", small, sizeof small, file.c_str()),
        3);
    EXPECT_STREQ(small, "zen") << "cut to the buffer";
}

TEST(Profile, BareNamesLiveInTheSettingsFolder) {
    const auto dir = testsupport::tempDir("home");
    setenv("ZENTROPE_HOME", dir.c_str(), 1);
    EXPECT_EQ(std::string(SettingsFolder()), dir.string());
    EXPECT_EQ(WriteProfileString("mci extensions", "avi", "MPEGVideo"), 1);
    EXPECT_TRUE(std::filesystem::exists(dir / "win.ini"));
    char buffer[26];
    GetProfileString("mci extensions", "AVI", "none", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "MPEGVideo");
    EXPECT_EQ(std::string(WindowsFolder()), dir.string());
}

TEST(Module, PlatformNamesAndLoading) {
    struct Row {
        const char* windows;
        const char* platform;
    } rows[] = {{"PVCX96V3.DLL", "libpvcx96v3.so"},
                {"Q3TIF32.DLL", "libq3tif32.so"},
                {"C:\\WINDOWS\\Q3DXF32.dll", "libq3dxf32.so"},
                {"Q3SPEC32", "libq3spec32.so"}};
    for (const Row& r : rows) {
        char buffer[64];
        EXPECT_GT(PlatformLibraryName(r.windows, buffer, sizeof buffer), 0);
        EXPECT_STREQ(buffer, r.platform);
    }
    char tiny[4];
    EXPECT_EQ(PlatformLibraryName("PVCX96V3.DLL", tiny, sizeof tiny), 0);

    EXPECT_EQ(LoadModule("/nonexistent/libnothing.so"), 0u);
    EXPECT_NE(std::string(ModuleLoadError()), "");
    const std::string codec = std::string(ProgramFolder()) + "/libpvcx96v3.so";
    HMODULELIKE m = LoadModule(codec.c_str());
    ASSERT_NE(m, 0u) << ModuleLoadError();
    EXPECT_NE(GetModuleProc(m, "InitDll"), nullptr);
    EXPECT_EQ(GetModuleProc(m, "NoSuchEntry"), nullptr);
    char text[256];
    EXPECT_GT(LoadModuleString(m, uint16_t(-3), text, sizeof text), 0)
        << "the codec's string table";
    EXPECT_EQ(LoadModuleString(m, 4242, text, sizeof text), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(FreeModule(m), 1);
}
