#include "libs/codec/core/FormatRegistry.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace gifcore {

namespace {

// One line per format.
const FormatEntry* const kFormats[] = {
    &gifFormat(), &pcxFormat(), &pcdFormat(),  &bmpFormat(),
    &icoFormat(), &pngFormat(), &jpegFormat(), &epsFormat(),
    &tgaFormat(), // keep last: TGA has no signature, its sniff is the weakest
};

std::string lowerExtension(std::string_view fileName) {
    const size_t slash = fileName.find_last_of('/');
    const size_t dot = fileName.find_last_of('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    std::string ext(fileName.substr(dot + 1));
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

bool listed(const char* extensions, const std::string& ext) {
    std::string_view list(extensions);
    while (!list.empty()) {
        const size_t end = list.find(';');
        if (list.substr(0, end) == ext) return true;
        if (end == std::string_view::npos) break;
        list.remove_prefix(end + 1);
    }
    return false;
}

} // namespace

const FormatEntry* findFormat(const uint8_t* data, size_t size, std::string_view fileName) {
    for (const FormatEntry* f : kFormats)
        if (f->sniff(data, size)) return f;
    const std::string ext = lowerExtension(fileName);
    if (ext.empty()) return nullptr;
    for (const FormatEntry* f : kFormats)
        if (listed(f->extensions, ext)) return f;
    return nullptr;
}

} // namespace gifcore
