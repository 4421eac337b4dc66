#include "platform/MediaExtensions.h"

#include "platform/Profile.h"

#include <cctype>

namespace zp {

namespace {

const char* const kSection = "mci extensions";

struct Entry {
    const char* ext;
    const char* device;
};
// Animated WebP stays out: this FFmpeg does not decode its frames.
const Entry kEntries[] = {
    {"AVI", "AVIVideo"},  {"MOV", "MPEGVideo"}, {"MPG", "MPEGVideo"}, {"MPEG", "MPEGVideo"},
    {"MP4", "MPEGVideo"}, {"M4V", "MPEGVideo"}, {"MKV", "MPEGVideo"}, {"WEBM", "MPEGVideo"},
    {"OGV", "MPEGVideo"}, {"WMV", "MPEGVideo"}, {"FLV", "MPEGVideo"},
};

} // namespace

const std::vector<std::string>& PlayableVideoExtensions() {
    static const std::vector<std::string> list = [] {
        std::vector<std::string> out;
        for (const Entry& e : kEntries)
            out.push_back(e.ext);
        return out;
    }();
    return list;
}

bool IsMciExtension(std::string extension) {
    if (!extension.empty() && extension.front() == '.') extension.erase(0, 1);
    if (extension.empty()) return false;
    char answer[26];
    GetProfileString(kSection, extension.c_str(), "none", answer, sizeof answer);
    return std::string(answer) != "none";
}

void SeedMediaExtensions() {
    for (const Entry& e : kEntries)
        if (IsMciExtension(e.ext)) return;
    for (const Entry& e : kEntries) {
        std::string key = e.ext;
        for (char& c : key)
            c = char(std::tolower((unsigned char)c));
        WriteProfileString(kSection, key.c_str(), e.device);
    }
}

} // namespace zp
