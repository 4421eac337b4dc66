#include "imaging/still/ScrollTextFile.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace scrolltext {

namespace {

// Longest font name kept; longer names are not real fonts anyway.
constexpr std::size_t kMaxFontName = 64;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\0';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Cuts to at most `limit` bytes without splitting a UTF-8 sequence.
void CutUtf8(std::string& s, std::size_t limit) {
    if (s.size() <= limit) return;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80)
        --end;
    s.resize(end);
}

// A line of text to draw: control characters (tabs, line breaks, NULs of a
// binary file) become blanks, so they never reach the font engine as glyphs.
std::string DrawableText(std::string_view raw, std::size_t limit) {
    std::string out(raw.substr(0, limit + 4));
    for (char& c : out) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) c = ' ';
    }
    CutUtf8(out, limit);
    return out;
}

// A decimal number, or hexadecimal after "$" or "0x"; surrounding blanks are
// ignored. False for anything else or a value outside int64's range.
bool ParseNumber(std::string_view text, int64_t& value);
// "1"/"0" flags for bold, italic, underline, strike-out; absent = off.
void ParseStyle(std::string_view text, Settings& settings);

void ApplyColor(std::string_view text, uint32_t& colour) {
    int64_t v = 0;
    // Only 0x00BBGGRR values are colours; anything else keeps the default.
    if (ParseNumber(text, v) && v >= 0 && v <= 0xFFFFFF) colour = static_cast<uint32_t>(v);
}

void ApplyHeight(std::string_view text, Settings& s) {
    int64_t v = 0;
    if (!ParseNumber(text, v) || v == 0) return;
    // Absurd heights would make the off-screen text image huge.
    v = std::clamp<int64_t>(v, -kMaxFontPixels, kMaxFontPixels);
    s.fontHeight = static_cast<int>(v);
    s.fontHeightGiven = true;
}

void ApplyName(std::string_view text, Settings& s) {
    std::string name = DrawableText(Trim(text), kMaxFontName);
    name = std::string(Trim(name));
    if (!name.empty()) s.fontName = name;
}

void ApplySize(std::string_view text, Settings& s) {
    int64_t v = 0;
    if (ParseNumber(text, v) && v > 0)
        s.fontSize = static_cast<int>(std::min<int64_t>(v, kMaxFontPoints));
}

void ApplySpeed(std::string_view text, Settings& s) {
    int64_t v = 0;
    if (ParseNumber(text, v)) s.speed = static_cast<int>(std::clamp<int64_t>(v, 0, kMaxSpeed));
}

enum Field { FontColor, FontHeight, FontName, FontSize, Style, BackColor, Speed, Text, End };
constexpr std::array<std::string_view, 9> kTags = {"/fc|", "/fh|", "/fn|", "/fs|", "/ft|",
                                                   "/bc|", "/sp|", "/sm|", "/eo|"};

// The value of a tag: from the end of its first occurrence to the next tag
// (or the end of the file when no tag follows). False when the tag is absent.
bool TagValue(std::string_view file, Field field, std::string_view& value) {
    const std::size_t at = file.find(kTags[field]);
    if (at == std::string_view::npos) return false;
    const std::size_t start = at + kTags[field].size();
    std::size_t end = file.size();
    for (std::string_view tag : kTags)
        end = std::min(end, file.find(tag, start));
    value = file.substr(start, end - start);
    return true;
}

bool ParseNumber(std::string_view text, int64_t& value) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (!text.empty() && text.front() == '$') {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;
    uint64_t v = 0;
    for (char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0) return false;
        if (v > (uint64_t(INT64_MAX) - uint64_t(digit)) / uint64_t(base)) return false;
        v = v * base + digit;
    }
    value = negative ? -int64_t(v) : int64_t(v);
    return true;
}

void ParseStyle(std::string_view text, Settings& s) {
    text = Trim(text);
    auto flag = [&](std::size_t i) { return i < text.size() && text[i] == '1'; };
    s.bold = flag(0);
    s.italic = flag(1);
    s.underline = flag(2);
    s.strikeOut = flag(3);
}

} // namespace

Message ParseMessage(std::string_view file) {
    file = file.substr(0, kMaxFileBytes);
    Message m;
    Settings& s = m.settings;
    std::string_view v;
    if (TagValue(file, FontColor, v)) ApplyColor(v, s.fontColor);
    if (TagValue(file, FontHeight, v)) ApplyHeight(v, s);
    if (TagValue(file, FontName, v)) ApplyName(v, s);
    if (TagValue(file, FontSize, v)) ApplySize(v, s);
    if (TagValue(file, Style, v)) ParseStyle(v, s);
    if (TagValue(file, BackColor, v)) ApplyColor(v, s.backColor);
    if (TagValue(file, Speed, v)) ApplySpeed(v, s);
    if (TagValue(file, Text, v)) {
        // The line break that usually follows the value belongs to the file,
        // not to the message; blanks are kept (they space the repeats).
        while (!v.empty() && (v.back() == '\r' || v.back() == '\n'))
            v.remove_suffix(1);
        while (!v.empty() && (v.front() == '\r' || v.front() == '\n'))
            v.remove_prefix(1);
        // An empty message would scroll nothing: it counts as missing.
        if (!Trim(v).empty()) m.text = DrawableText(v, kMaxTextBytes);
    }
    return m;
}

Credits ParseCredits(std::string_view file) {
    file = file.substr(0, kMaxFileBytes);
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    // Lines end at CR LF, LF or CR; a final terminator starts no new line.
    while (pos < file.size() && lines.size() < kMaxCreditLines + 8) {
        std::size_t end = file.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = file.size();
        lines.push_back(file.substr(pos, end - pos));
        pos = end + 1;
        if (end + 1 < file.size() && file[end] == '\r' && file[end + 1] == '\n') ++pos;
    }
    Credits c;
    Settings& s = c.settings;
    auto line = [&](std::size_t i) { return i < lines.size() ? lines[i] : std::string_view(); };
    ApplyColor(line(1), s.fontColor);
    ApplyHeight(line(2), s);
    ApplyName(line(3), s);
    ApplySize(line(4), s);
    ParseStyle(line(5), s);
    ApplyColor(line(6), s.backColor);
    ApplySpeed(line(7), s);
    for (std::size_t i = 8; i < lines.size(); ++i)
        c.lines.push_back(DrawableText(lines[i], kMaxTextBytes));
    return c;
}

bool ReadTextFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.resize(kMaxFileBytes);
    in.read(bytes.data(), std::streamsize(bytes.size()));
    bytes.resize(std::size_t(std::max<std::streamsize>(in.gcount(), 0)));
    return true;
}

} // namespace scrolltext
