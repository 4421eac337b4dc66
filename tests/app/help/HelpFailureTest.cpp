// A missing, damaged or index-less help file and an unknown topic: one
// message each, no crash, and the real file works again afterwards.
#include "HelpFixture.h"
#include "TestSupport.h"

#include <QByteArray>
#include <QtEndian>
#include <functional>

namespace {

using Bytes = std::vector<unsigned char>;

quint32 Be32(const Bytes& b, size_t at) {
    return qFromBigEndian<quint32>(b.data() + at);
}
void SetBe32(Bytes& b, size_t at, quint32 v) {
    qToBigEndian<quint32>(v, b.data() + at);
}

// Offsets inside an rcc bundle: header fields, then 22-byte tree nodes (format 2 and up).
size_t Tree(const Bytes& b) {
    return Be32(b, 8);
}
size_t Data(const Bytes& b) {
    return Be32(b, 12);
}
size_t Node(const Bytes& b, int node) {
    return Tree(b) + size_t(node) * 22;
}

TEST_F(HelpTest, UnknownTopicGivesOneMessageNamingIt) {
    ASSERT_TRUE(HelpJump("Frame_Info"));
    const std::string before = HelpWindow()->CurrentPage();
    for (const char* topic : {"No_such_topic", "", "frame_info", "Frame_Info "}) {
        messages.clear();
        EXPECT_FALSE(HelpJump(topic)) << topic;
        ASSERT_EQ(messages.size(), 1u) << topic;
        EXPECT_NE(messages[0].find(std::string("\"") + topic + "\""), std::string::npos);
        EXPECT_EQ(HelpWindow()->CurrentPage(), before); // the page shown stays
    }
}

TEST_F(HelpTest, UnusableHelpFilesGiveOneMessageEach) {
    const Bytes good = testsupport::readFile(BuiltHelpFile());
    ASSERT_GT(good.size(), 1000u);
    ASSERT_EQ(Be32(good, 4), 3u); // format version the build asks for
    const auto dir = testsupport::tempDir("help-damaged");

    const struct {
        const char* name;
        const char* says; // part of the message
        std::function<void(Bytes&)> damage;
    } cases[] = {
        {"missing", "not found", nullptr},
        {"empty", "damaged", [](Bytes& b) { b.clear(); }},
        {"text", "damaged", [](Bytes& b) { b.assign(b.size(), 'x'); }},
        {"half", "damaged", [](Bytes& b) { b.resize(b.size() / 2); }},
        {"header only", "damaged", [](Bytes& b) { b.resize(24); }},
        {"tree past end", "damaged", [](Bytes& b) { SetBe32(b, 8, quint32(b.size() + 10)); }},
        {"version 9", "damaged", [](Bytes& b) { SetBe32(b, 4, 9); }},
        {"feature flags", "damaged", [](Bytes& b) { SetBe32(b, 20, 1); }},
        {"child count", "damaged", [](Bytes& b) { SetBe32(b, Node(b, 0) + 6, 0x7fffffff); }},
        {"first child", "damaged", [](Bytes& b) { SetBe32(b, Node(b, 0) + 10, 0xfffffff0u); }},
        {"name offset", "damaged", [](Bytes& b) { SetBe32(b, Node(b, 1), 0x7ffffff0); }},
        {"data offset", "damaged", [](Bytes& b) { SetBe32(b, Node(b, 1) + 10, 0x7ffffff0); }},
        {"data size", "damaged", [](Bytes& b) { SetBe32(b, Data(b), 0x7ffffff0); }},
        {"compressed entry", "damaged", [](Bytes& b) { b[Node(b, 1) + 5] = 1; }},
        {"no index", "no index",
         [](Bytes& b) {
             const char name[] = {0, 'i', 0, 'n', 0, 'd', 0, 'e', 0, 'x', 0, '.'};
             auto at = std::search(b.begin(), b.end(), std::begin(name), std::end(name));
             ASSERT_NE(at, b.end());
             at[1] = 'j';
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = (dir / (std::string(c.name) + ".hlp")).string();
        if (c.damage) {
            Bytes bytes = good;
            c.damage(bytes);
            testsupport::writeFile(path, bytes);
        }
        SetHelpFile(path);
        EXPECT_EQ(HelpFile(), path);
        for (const auto& call : std::vector<std::function<bool()>>{
                 [] { return HelpJump("Frame_Info"); }, [] { return HelpCommand(HELP_CONTENTS); },
                 [] { return HelpCommand(HELP_PARTIALKEY, "fra"); },
                 [] { return HelpCommand(HELP_HELPONHELP); }}) {
            messages.clear();
            EXPECT_FALSE(call());
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_NE(messages[0].find(path), std::string::npos) << messages[0];
            EXPECT_NE(messages[0].find(c.says), std::string::npos) << messages[0];
        }
        // The real file is registered again and serves its pages.
        messages.clear();
        SetHelpFile(BuiltHelpFile());
        ASSERT_TRUE(HelpJump("Image_Info"));
        EXPECT_EQ(HelpWindow()->CurrentPage(), "imageinfo.html");
        EXPECT_TRUE(messages.empty());
    }
}

// A file replaced in place is read again rather than served from the old copy.
TEST_F(HelpTest, HelpFileChangedInPlaceIsReadAgain) {
    const Bytes good = testsupport::readFile(BuiltHelpFile());
    const std::string path = (testsupport::tempDir("help-replaced") / "zentrope.hlp").string();
    testsupport::writeFile(path, good);
    SetHelpFile(path);
    ASSERT_TRUE(HelpJump("Rotate_Frame"));
    testsupport::writeFile(path, Bytes(good.begin(), good.begin() + 100));
    EXPECT_FALSE(HelpJump("Rotate_Frame"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("damaged"), std::string::npos);
    testsupport::writeFile(path, good);
    messages.clear();
    EXPECT_TRUE(HelpJump("Rotate_Frame"));
    EXPECT_TRUE(messages.empty());
}

} // namespace
