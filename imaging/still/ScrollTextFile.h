#pragma once
// The two small text formats of the still-image component's scrolling-text
// modes, parsed without Qt:
// * a scrolling message (".scm"): tagged fields, each value standing between
//   its tag and the next tag: "/fc|" font colour, "/fh|" font height,
//   "/fn|" font name, "/fs|" font size, "/ft|" style, "/bc|" background
//   colour, "/sp|" speed, "/sm|" message, "/eo|" end;
// * scrolling credits (".cms"): lines; line 0 is a free title, lines 1-7 the
//   settings in the order font colour, font height, font name, font size,
//   style, background colour, speed; lines 8 and on the credit lines.
// Any field that is missing, empty or not a usable number takes its default.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scrolltext {

// Files are read up to this many bytes; the rest is ignored, so a huge or
// endless file never costs more memory than this.
inline constexpr std::size_t kMaxFileBytes = 1u << 20;
// Longest message and credit line kept (bytes), and most credit lines kept.
inline constexpr std::size_t kMaxTextBytes = 2000;
inline constexpr std::size_t kMaxCreditLines = 5000;
// Font heights are clamped to this many pixels either way, sizes to this
// many points, speeds to 0..kMaxSpeed (ticks per pixel - 1).
inline constexpr int kMaxFontPixels = 256;
inline constexpr int kMaxFontPoints = 192;
inline constexpr int kMaxSpeed = 10000;

inline constexpr uint32_t kDefaultFontColor = 255; // red, as COLORREF 0x00BBGGRR
inline constexpr int kDefaultFontHeight = -13;
inline constexpr const char* kDefaultFontName = "SYSTEM";
inline constexpr uint32_t kDefaultBackColor = 128; // dark red
inline constexpr int kDefaultSpeed = 1;
inline constexpr const char* kDefaultMessage = " Invallid message format ! ";

struct Settings {
    uint32_t fontColor = kDefaultFontColor; // COLORREF
    // Windows convention: negative = character height in pixels, positive =
    // cell height (character plus internal leading); never 0.
    int fontHeight = kDefaultFontHeight;
    bool fontHeightGiven = false;
    std::string fontName = kDefaultFontName;
    int fontSize = 0; // points; 0 = not given
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    uint32_t backColor = kDefaultBackColor; // COLORREF
    int speed = kDefaultSpeed;
};

struct Message {
    Settings settings;
    std::string text = kDefaultMessage;
};

struct Credits {
    Settings settings;
    std::vector<std::string> lines;
};

Message ParseMessage(std::string_view file);
Credits ParseCredits(std::string_view file);

// The first kMaxFileBytes of a file; false when it cannot be opened.
bool ReadTextFile(const std::string& path, std::string& bytes);

} // namespace scrolltext
