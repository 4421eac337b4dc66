// The scrolling-message and scrolling-credits parsers on any bytes: every
// field they give must respect its documented bounds.
#include "imaging/still/ScrollTextFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view file(reinterpret_cast<const char*>(data), size);
    auto check = [](const scrolltext::Settings& s) {
        if (s.speed < 0 || s.speed > scrolltext::kMaxSpeed) std::abort();
        if (s.fontHeight == 0 || std::abs(s.fontHeight) > scrolltext::kMaxFontPixels) std::abort();
        if (s.fontSize < 0 || s.fontSize > scrolltext::kMaxFontPoints) std::abort();
        if (s.fontColor > 0xFFFFFF || s.backColor > 0xFFFFFF) std::abort();
    };
    const scrolltext::Message message = scrolltext::ParseMessage(file);
    check(message.settings);
    if (message.text.size() > scrolltext::kMaxTextBytes) std::abort();
    const scrolltext::Credits credits = scrolltext::ParseCredits(file);
    check(credits.settings);
    if (credits.lines.size() > scrolltext::kMaxCreditLines) std::abort();
    for (const std::string& line : credits.lines)
        if (line.size() > scrolltext::kMaxTextBytes) std::abort();
    return 0;
}
