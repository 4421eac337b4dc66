#pragma once
// The image formats the codec knows. Each format is one entry: a name, a
// magic-byte sniffer, its file extensions and an info function. fileinfo
// asks the sniffers first and falls back on the extension.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace gifcore {

struct FormatInfo {
    int32_t width = 0;
    int32_t height = 0;
    int16_t bitsPerPixel = 0;
    int16_t value1 = 0; // format-specific (GIF: number of images)
    int16_t value2 = 0; // format-specific (GIF: 1 when the first image is interlaced)
    const char* description = "";
};

struct FormatEntry {
    const char* name;       // as fileinfo reports it, e.g. "GIF"
    const char* extensions; // lower case, ';'-separated, without dots
    // True when the first bytes are this format's signature.
    bool (*sniff)(const uint8_t* data, size_t size);
    // PVE_OK or a negative CodecError.
    int32_t (*info)(const uint8_t* data, size_t size, FormatInfo& out);
};

// The format whose signature the data carries, else the one owning the
// file name's extension, else nullptr.
const FormatEntry* findFormat(const uint8_t* data, size_t size, std::string_view fileName);

// The entries of each format, defined beside its reader.
const FormatEntry& gifFormat();
const FormatEntry& pcxFormat();
const FormatEntry& pcdFormat();
const FormatEntry& tgaFormat();
const FormatEntry& bmpFormat();
const FormatEntry& icoFormat();
const FormatEntry& pngFormat();
const FormatEntry& jpegFormat();
const FormatEntry& epsFormat();

} // namespace gifcore
