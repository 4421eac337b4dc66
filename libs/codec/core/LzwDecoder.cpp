#include "libs/codec/core/LzwDecoder.h"

#include <cstring>

namespace gifcore {

namespace {

constexpr int kMaxCodeBits = 12;
constexpr uint32_t kTableSize = 1u << kMaxCodeBits;

// Every table entry is a string that already appeared in the output: the
// previous code's string followed by the first byte of the next one, which
// sit side by side. So an entry is kept as (offset, length) into the output
// and expanding a code is a copy from earlier output, not a walk along a
// prefix chain one byte at a time.
struct Table {
    uint32_t offset[kTableSize];
    uint16_t length[kTableSize];
};

// Copies len bytes from out + from to out + to, where from + len <= to.
inline void copyEarlier(uint8_t* out, size_t to, size_t from, size_t len, size_t limit) {
    if (len <= 16 && to + 16 <= limit) {
        // Two fixed-size moves: both loads happen before the stores, and
        // the bytes written past len are overwritten by later codes.
        uint64_t a, b;
        std::memcpy(&a, out + from, 8);
        std::memcpy(&b, out + from + 8, 8);
        std::memcpy(out + to, &a, 8);
        std::memcpy(out + to + 8, &b, 8);
        return;
    }
    std::memcpy(out + to, out + from, len);
}

} // namespace

LzwResult decodeLzw(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out,
                    size_t pixelCount) {
    if (minCodeSize < kMinLzwCodeSize || minCodeSize > kMaxLzwCodeSize)
        return {LzwStatus::BadCode, 0};
    static thread_local Table table;
    const uint32_t clear = 1u << minCodeSize;
    const uint32_t end = clear + 1;
    int codeSize = minCodeSize + 1;
    uint32_t next = clear + 2;
    size_t prevOffset = 0;
    size_t prevLength = 0; // 0: no previous code since the last clear

    const uint8_t* p = data;
    const uint8_t* const stop = data + size;
    uint64_t bits = 0;
    int bitCount = 0;
    size_t pos = 0;

    while (pos < pixelCount) {
        if (bitCount < codeSize) {
            if (stop - p >= 8) {
                uint64_t word;
                std::memcpy(&word, p, 8); // little-endian hosts only (x86, ARM)
                bits |= word << bitCount;
                p += (63 - bitCount) >> 3;
                bitCount |= 56;
            } else {
                while (bitCount <= 56 && p < stop) {
                    bits |= uint64_t(*p++) << bitCount;
                    bitCount += 8;
                }
                if (bitCount < codeSize) return {LzwStatus::ShortData, pos};
            }
        }
        const uint32_t code = uint32_t(bits) & ((1u << codeSize) - 1);
        bits >>= codeSize;
        bitCount -= codeSize;

        if (code == clear) {
            codeSize = minCodeSize + 1;
            next = clear + 2;
            prevLength = 0;
            continue;
        }
        if (code == end) return {LzwStatus::ShortData, pos};

        const size_t room = pixelCount - pos;
        size_t length;
        if (code < clear) {
            out[pos] = uint8_t(code);
            length = 1;
        } else if (code < next) {
            length = table.length[code];
            const size_t from = table.offset[code];
            if (length > room) {
                std::memcpy(out + pos, out + from, room);
                return {LzwStatus::Complete, pixelCount};
            }
            copyEarlier(out, pos, from, length, pixelCount);
        } else if (code == next && prevLength != 0) {
            // The code being defined right now: previous string plus its own
            // first byte.
            length = prevLength + 1;
            if (length > room) {
                std::memcpy(out + pos, out + prevOffset, room);
                return {LzwStatus::Complete, pixelCount};
            }
            copyEarlier(out, pos, prevOffset, prevLength, pixelCount);
            out[pos + prevLength] = out[prevOffset];
        } else {
            return {LzwStatus::BadCode, pos};
        }

        if (prevLength != 0 && next < kTableSize) {
            table.offset[next] = uint32_t(prevOffset);
            table.length[next] = uint16_t(prevLength + 1);
            ++next;
            if (next == (1u << codeSize) && codeSize < kMaxCodeBits) ++codeSize;
        }
        prevOffset = pos;
        prevLength = length;
        pos += length;
    }
    return {LzwStatus::Complete, pos};
}

} // namespace gifcore
