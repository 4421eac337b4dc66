#include "imaging/still/WmfRecords.h"

#include <algorithm>
#include <cstdlib>

namespace wmf {

namespace {

uint16_t get16(std::span<const uint8_t> f, size_t at) {
    return uint16_t(f[at] | f[at + 1] << 8);
}
uint32_t get32(std::span<const uint8_t> f, size_t at) {
    return get16(f, at) | uint32_t(get16(f, at + 2)) << 16;
}

constexpr size_t kPlaceableBytes = 22;
constexpr size_t kHeaderBytes = 18;
constexpr size_t kRecordHeaderBytes = 6;

bool isDrawing(uint16_t function) {
    switch (function) {
    case kLineTo:
    case kPolygon:
    case kPolyline:
    case kPolyPolygon:
    case kRectangle:
    case kRoundRect:
    case kEllipse:
    case kArc:
    case kPie:
    case kChord:
    case kTextOut:
    case kExtTextOut:
    case kPatBlt:
    case kDibBitBlt:
    case kDibStretchBlt:
    case kStretchDib:
        return true;
    default:
        return false;
    }
}

} // namespace

bool Parse(std::span<const uint8_t> file, Document& doc, std::string& error) {
    doc = Document{};
    if (file.size() > kMaxFileBytes) {
        error = "The metafile is too large";
        return false;
    }
    size_t at = 0;
    if (file.size() >= 4 && get32(file, 0) == kPlaceableKey) {
        if (file.size() < kPlaceableBytes) {
            error = "The metafile's placeable header is truncated";
            return false;
        }
        doc.placeable = true;
        doc.left = int16_t(get16(file, 6));
        doc.top = int16_t(get16(file, 8));
        doc.right = int16_t(get16(file, 10));
        doc.bottom = int16_t(get16(file, 12));
        doc.unitsPerInch = get16(file, 14);
        at = kPlaceableBytes;
    }
    if (file.size() - at < kHeaderBytes) {
        error = "The metafile header is truncated";
        return false;
    }
    const uint16_t type = get16(file, at);
    const uint16_t headerWords = get16(file, at + 2);
    const uint16_t version = get16(file, at + 4);
    if ((type != 1 && type != 2) || headerWords != 9 || (version != 0x0100 && version != 0x0300)) {
        error = "The file is not a Windows metafile";
        return false;
    }
    doc.objectCount = get16(file, at + 12);
    at += kHeaderBytes;

    // The header's file size and record maximum are not trusted: the walk is
    // bounded by the bytes actually present.
    bool drawn = false;
    while (true) {
        if (doc.records.size() >= kMaxRecords || file.size() - at < kRecordHeaderBytes) {
            doc.truncated = true;
            break;
        }
        const uint32_t sizeWords = get32(file, at);
        const uint16_t function = get16(file, at + 4);
        if (sizeWords < 3 || (file.size() - at) / 2 < sizeWords) {
            // A zero size would loop forever; one past the end is damage.
            doc.truncated = true;
            break;
        }
        Record r{function, at + kRecordHeaderBytes, size_t(sizeWords) - 3};
        doc.records.push_back(r);
        at += size_t(sizeWords) * 2;
        if (function == kEof) break;
        if (!drawn && (function == kSetWindowExt || function == kSetWindowOrg) && r.words >= 2) {
            const Params p(file, r);
            if (function == kSetWindowExt) {
                doc.hasWindowExt = true;
                doc.windowExtY = p.s16(0);
                doc.windowExtX = p.s16(1);
            } else {
                doc.windowOrgY = p.s16(0);
                doc.windowOrgX = p.s16(1);
            }
        }
        drawn = drawn || isDrawing(function);
    }
    return true;
}

void NaturalSize(const Document& doc, int32_t& width, int32_t& height) {
    int64_t w = 0, h = 0;
    if (doc.placeable) {
        // Zero units per inch is taken as twips, the usual value.
        const int64_t inch = doc.unitsPerInch ? doc.unitsPerInch : 1440;
        w = (std::abs(int64_t(doc.right) - doc.left) * 96 + inch / 2) / inch;
        h = (std::abs(int64_t(doc.bottom) - doc.top) * 96 + inch / 2) / inch;
    } else if (doc.hasWindowExt) {
        w = std::abs(int64_t(doc.windowExtX));
        h = std::abs(int64_t(doc.windowExtY));
    }
    width = int32_t(std::min<int64_t>(w, 16384));
    height = int32_t(std::min<int64_t>(h, 16384));
}

} // namespace wmf
