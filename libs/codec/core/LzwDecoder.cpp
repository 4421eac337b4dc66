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
// prefix chain one byte at a time. Literals are strings of the headroom.
// Length 0 marks the codes that are not strings (clear, end, and every code
// not defined yet), so one test sends all of them off the fast path.
struct Entry {
    uint32_t offset; // from out - kLzwHeadroom
    uint32_t length;
};

// 16 bytes from src to dst, all read before any is written.
inline void move16(uint8_t* dst, const uint8_t* src) {
    uint64_t a, b;
    std::memcpy(&a, src, 8);
    std::memcpy(&b, src + 8, 8);
    std::memcpy(dst, &a, 8);
    std::memcpy(dst + 8, &b, 8);
}

// Copies len bytes from src to dst, where src + len <= dst, in 16-byte
// moves: each reads only bytes before dst, or bytes an earlier move has
// written, or bytes past len that later output overwrites.
inline void copyEarlier(uint8_t* dst, const uint8_t* src, size_t len) {
    move16(dst, src);
    for (size_t i = 16; i < len; i += 16)
        move16(dst + i, src + i);
}

// Least significant bit first, as GIF packs codes. Each code is read from
// the 8 bytes at its first bit (the input is padded), so there is no bit
// buffer to refill; bits past the data are never handed out.
class BitReader {
  public:
    BitReader(const uint8_t* data, size_t size) : data_(data), bits_(int64_t(size) * 8) {}

    // False when the data holds fewer than n more bits.
    bool has(int64_t n) const { return pos_ + n <= bits_; }
    uint32_t take(int64_t n, uint32_t mask) {
        uint64_t word;
        std::memcpy(&word, data_ + (pos_ >> 3), 8); // little-endian hosts only (x86, ARM)
        const uint32_t v = uint32_t(word >> (pos_ & 7)) & mask;
        pos_ += n;
        return v;
    }

  private:
    const uint8_t* const data_;
    const int64_t bits_;
    int64_t pos_ = 0;
};

} // namespace

LzwResult decodeLzw(const uint8_t* data, size_t size, int minCodeSize, uint8_t* out,
                    size_t pixelCount) {
    if (minCodeSize < kMinLzwCodeSize || minCodeSize > kMaxLzwCodeSize)
        return {LzwStatus::BadCode, 0};
    if (pixelCount == 0) return {LzwStatus::Complete, 0};
    if (pixelCount > kMaxLzwPixels) return {LzwStatus::BadCode, 0};
    // On the stack, so it is addressed off the stack pointer. One slot more
    // than there are codes: once the table is full, the entry the last
    // string would define lands there and is never read.
    Entry t[kTableSize + 1];
    uint8_t* const base = out - kLzwHeadroom;
    const uint32_t clear = 1u << minCodeSize;
    const uint32_t end = clear + 1;
    for (uint32_t i = 0; i < clear; ++i) {
        base[i] = uint8_t(i);
        t[i] = {i, 1};
    }
    std::memset(t + clear, 0, sizeof(Entry) * (kTableSize + 1 - clear));

    // The output position counts from base, as entry offsets do; 32 bits
    // hold it (kMaxLzwPixels).
    uint32_t pos = uint32_t(kLzwHeadroom);
    uint32_t room = uint32_t(pixelCount); // pixels still to write
    auto result = [&](LzwStatus status) { return LzwResult{status, pixelCount - room}; };
    BitReader in(data, size);

    for (;;) {
        // At the start and after a clear: the code must be a literal, and
        // what it begins to define is finished by the next code.
        int64_t codeSize = minCodeSize + 1;
        uint32_t mask = (1u << codeSize) - 1;
        uint32_t next = clear + 2;
        uint32_t code;
        do {
            if (!in.has(codeSize)) return result(LzwStatus::ShortData);
            code = in.take(codeSize, mask);
        } while (code == clear);
        if (code == end) return result(LzwStatus::ShortData);
        if (code > clear) return result(LzwStatus::BadCode);
        base[pos] = uint8_t(code);
        t[next] = {pos, 2};
        ++pos;
        if (--room == 0) return result(LzwStatus::Complete);

        // Each string written at pos defines entry `next` ahead of time:
        // itself plus the first byte of the string after it, which the next
        // code writes. Entries below next are complete.
        bool full = false;
        for (;;) {
            if (!in.has(codeSize)) return result(LzwStatus::ShortData);
            code = in.take(codeSize, mask);
            const Entry e = t[code];
            if (e.length == 0) [[unlikely]]
                break;
            uint8_t* const dst = base + pos;
            const uint8_t* const src = base + e.offset;
            if (e.length >= room) [[unlikely]] {
                copyEarlier(dst, src, room);
                dst[room - 1] = src[room - 1]; // for the code being defined, as below
                room = 0;
                return result(LzwStatus::Complete);
            }
            copyEarlier(dst, src, e.length);
            // The entry being defined: its last byte is this string's first,
            // which the copy read before writing it.
            if (code == next) [[unlikely]]
                dst[e.length - 1] = dst[0];
            t[++next] = {pos, e.length + 1};
            pos += e.length;
            room -= e.length;
            // Codes widen when next passes the widest code; at the table's
            // size the table is full. (With a minimum code size of 1, next
            // starts at 4, past the first width, and codes stay 2 bits.)
            if ((next & mask) == 0) [[unlikely]] {
                if (next == kTableSize) {
                    full = true;
                    break;
                }
                if (next == mask + 1) {
                    ++codeSize;
                    mask = mask << 1 | 1;
                }
            }
        }

        // A full table (no clear code came in time, as some encoders
        // defer it): browsers go on decoding with every entry as it stands
        // and the code size as it is, until a clear.
        while (full) {
            if (!in.has(codeSize)) return result(LzwStatus::ShortData);
            code = in.take(codeSize, mask);
            const Entry e = t[code];
            if (e.length == 0) [[unlikely]]
                break;
            uint8_t* const dst = base + pos;
            const uint8_t* const src = base + e.offset;
            if (e.length >= room) [[unlikely]] {
                copyEarlier(dst, src, room);
                room = 0;
                return result(LzwStatus::Complete);
            }
            copyEarlier(dst, src, e.length);
            pos += e.length;
            room -= e.length;
        }

        if (code == end) return result(LzwStatus::ShortData);
        if (code != clear) return result(LzwStatus::BadCode);
        // Forget every entry defined, the one begun ahead of time included.
        std::memset(t + clear + 2, 0, sizeof(Entry) * (next + 1 - (clear + 2)));
    }
}

} // namespace gifcore
