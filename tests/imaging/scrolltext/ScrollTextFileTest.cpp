// The ".scm" and ".cms" parsers: every field, defaults for what is missing
// or unusable, and hostile input.
#include "imaging/still/ScrollTextFile.h"

#include <gtest/gtest.h>

using namespace scrolltext;

namespace {

// The settings as one comparable tuple-like string, so a table row can say
// exactly what it expects.
std::string Describe(const Settings& s) {
    return "fc=" + std::to_string(s.fontColor) + " fh=" + std::to_string(s.fontHeight) +
           (s.fontHeightGiven ? "!" : "") + " fn=" + s.fontName +
           " fs=" + std::to_string(s.fontSize) + " ft=" + std::to_string(s.bold) +
           std::to_string(s.italic) + std::to_string(s.underline) + std::to_string(s.strikeOut) +
           " bc=" + std::to_string(s.backColor) + " sp=" + std::to_string(s.speed);
}

const std::string kDefaults = "fc=255 fh=-13 fn=SYSTEM fs=0 ft=0000 bc=128 sp=1";
const std::string kDefaultText = " Invallid message format ! ";

struct MessageCase {
    const char* name;
    std::string file;
    std::string settings;
    std::string text;
};

TEST(ScrollMessageFile, FieldsDefaultsOrderAndGarbage) {
    const std::string full = "/fc|65280/fh|-20/fn|Arial/fs|12/ft|1010/bc|16711680/sp|3"
                             "/sm| Hello there /eo|";
    const MessageCase cases[] = {
        {"all fields", full, "fc=65280 fh=-20! fn=Arial fs=12 ft=1010 bc=16711680 sp=3",
         " Hello there "},
        {"empty file", "", kDefaults, kDefaultText},
        {"only the end tag", "/eo|", kDefaults, kDefaultText},
        {"no font colour", "/fh|-20/sm|x/eo|", "fc=255 fh=-20! fn=SYSTEM fs=0 ft=0000 bc=128 sp=1",
         "x"},
        {"no height", "/fc|1/sm|x/eo|", "fc=1 fh=-13 fn=SYSTEM fs=0 ft=0000 bc=128 sp=1", "x"},
        {"no name", "/fn|/sm|x/eo|", kDefaults, "x"},
        {"no size", "/fs|/sm|x/eo|", kDefaults, "x"},
        {"no style", "/ft|/sm|x/eo|", kDefaults, "x"},
        {"no background", "/bc|/sp|2/sm|x/eo|", "fc=255 fh=-13 fn=SYSTEM fs=0 ft=0000 bc=128 sp=2",
         "x"},
        {"no speed", "/bc|0/sm|x/eo|", "fc=255 fh=-13 fn=SYSTEM fs=0 ft=0000 bc=0 sp=1", "x"},
        {"no message", "/fc|0/eo|", "fc=0 fh=-13 fn=SYSTEM fs=0 ft=0000 bc=128 sp=1", kDefaultText},
        {"blank message", "/sm|   /eo|", kDefaults, kDefaultText},
        {"any order, one field a line",
         "/sm|Moving text\r\n/sp|0\r\n/bc|0\r\n/ft|0100\r\n/fn| Courier New \r\n/fh|30\r\n"
         "/fc|16777215\r\n/eo|\r\n",
         "fc=16777215 fh=30! fn=Courier New fs=0 ft=0100 bc=0 sp=0", "Moving text"},
        {"no end tag: the message runs to the end", "/sm|tail\n", kDefaults, "tail"},
        {"hex colours", "/fc|$FF00/bc|0x0000ff/eo|",
         "fc=65280 fh=-13 fn=SYSTEM fs=0 ft=0000 bc=255 sp=1", kDefaultText},
        {"non-numeric numbers keep their defaults", "/fc|red/fh|big/fs|huge/bc|1e3/sp|fast/eo|",
         kDefaults, kDefaultText},
        {"colour out of range", "/fc|-1/bc|16777216/eo|", kDefaults, kDefaultText},
        {"absurd heights and speeds are clamped",
         "/fh|-99999999999/fs|100000/sp|99999999999999/eo|",
         "fc=255 fh=-256! fn=SYSTEM fs=192 ft=0000 bc=128 sp=10000", kDefaultText},
        {"zero height, negative speed", "/fh|0/sp|-5/eo|",
         "fc=255 fh=-13 fn=SYSTEM fs=0 ft=0000 bc=128 sp=0", kDefaultText},
        {"number past int64", "/fh|99999999999999999999999/eo|", kDefaults, kDefaultText},
        {"hex past 64 bits", "/sp|$10000000000000005/eo|", kDefaults, kDefaultText},
        {"short style", "/ft|1/eo|", "fc=255 fh=-13 fn=SYSTEM fs=0 ft=1000 bc=128 sp=1",
         kDefaultText},
        {"style with other characters", "/ft|x1y1/eo|",
         "fc=255 fh=-13 fn=SYSTEM fs=0 ft=0101 bc=128 sp=1", kDefaultText},
        {"first of a repeated tag wins", "/sp|4/sp|9/eo|",
         "fc=255 fh=-13 fn=SYSTEM fs=0 ft=0000 bc=128 sp=4", kDefaultText},
        {"control characters become blanks", std::string("/sm|a\tb\0c\r\nd/eo|", 16), kDefaults,
         "a b c  d"},
    };
    for (const MessageCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Message m = ParseMessage(c.file);
        EXPECT_EQ(Describe(m.settings), c.settings);
        EXPECT_EQ(m.text, c.text);
    }
}

TEST(ScrollMessageFile, HostileSizesAreBounded) {
    // A huge message is cut; the cut never splits a UTF-8 character.
    std::string file = "/sm|";
    for (int i = 0; i < 3000; ++i)
        file += "\xC3\xA9"; // é
    const Message m = ParseMessage(file + "/eo|");
    EXPECT_LE(m.text.size(), kMaxTextBytes);
    EXPECT_GT(m.text.size(), kMaxTextBytes - 2);
    EXPECT_EQ(m.text.size() % 2, 0u);

    // A very long font name is cut; random binary bytes parse to something.
    const Message named = ParseMessage("/fn|" + std::string(5000, 'A') + "/eo|");
    EXPECT_LE(named.settings.fontName.size(), 64u);
    std::string binary;
    for (int i = 0; i < 100000; ++i)
        binary += char((i * 7919) & 0xFF);
    EXPECT_FALSE(ParseMessage(binary).text.empty());

    // Past the read limit nothing is seen, even a valid tag.
    std::string padded(kMaxFileBytes, ' ');
    EXPECT_EQ(ParseMessage(padded + "/sp|7/eo|").settings.speed, 1);
}

struct CreditsCase {
    const char* name;
    std::string file;
    std::string settings;
    std::vector<std::string> lines;
};

TEST(ScrollCreditsFile, LinesSettingsAndShortFiles) {
    const CreditsCase cases[] = {
        {"full file",
         "Title\n65535\n-16\nTimes\n10\n0011\n0\n2\nFirst\n Second\n\nLast \n",
         "fc=65535 fh=-16! fn=Times fs=10 ft=0011 bc=0 sp=2",
         {"First", " Second", "", "Last "}},
        {"CR LF and lone CR line ends",
         "T\r\n1\r\n-9\r\nA\r\n\r\n1111\r\n2\r\n0\r\nx\ry\r\n",
         "fc=1 fh=-9! fn=A fs=0 ft=1111 bc=2 sp=0",
         {"x", "y"}},
        {"empty file", "", kDefaults, {}},
        {"title only", "Credits", kDefaults, {}},
        {"settings cut short",
         "T\n0\n-20\n",
         "fc=0 fh=-20! fn=SYSTEM fs=0 ft=0000 bc=128 sp=1",
         {}},
        {"all settings, no lines",
         "T\n1\n2\nB\n3\n1\n4\n5\n",
         "fc=1 fh=2! fn=B fs=3 ft=1000 bc=4 sp=5",
         {}},
        {"blank and garbage settings keep their defaults",
         "T\nzz\n\n  \n-4\n\n$GG\n1.5\nline\n",
         kDefaults,
         {"line"}},
    };
    for (const CreditsCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Credits credits = ParseCredits(c.file);
        EXPECT_EQ(Describe(credits.settings), c.settings);
        EXPECT_EQ(credits.lines, c.lines);
    }
}

TEST(ScrollCreditsFile, LineCountAndLengthAreBounded) {
    std::string file = "T\n1\n2\nA\n3\n0000\n4\n5\n";
    for (std::size_t i = 0; i < kMaxCreditLines + 100; ++i)
        file += "credit\n";
    file += std::string(10000, 'w');
    const Credits c = ParseCredits(file);
    EXPECT_EQ(c.lines.size(), kMaxCreditLines);

    const Credits one = ParseCredits("T\n1\n2\nA\n3\n0000\n4\n5\n" + std::string(10000, 'w'));
    ASSERT_EQ(one.lines.size(), 1u);
    EXPECT_EQ(one.lines[0].size(), kMaxTextBytes);
}

} // namespace
