#include "libs/codec/core/LzwEncoder.h"

#include <algorithm>
#include <cstring>

namespace gifenc {

namespace {

constexpr size_t kBlock = 255;
constexpr size_t kRawBlocks = 256;
constexpr size_t kRawCapacity = kBlock * kRawBlocks;

} // namespace

LzwEncoder::LzwEncoder(ByteSink& sink, int minCodeSize)
    : sink_(sink), minCodeSize_(std::clamp(minCodeSize, 2, 8)), clearCode_(1u << minCodeSize_),
      endCode_(clearCode_ + 1), mask_(uint8_t((1u << minCodeSize_) - 1)), table_(kHashSize),
      raw_(kRawCapacity + 8), framed_(kRawCapacity + kRawBlocks) {
    const uint8_t size = uint8_t(minCodeSize_);
    ok_ = sink_.write(&size, 1);
    resetTable();
    putCode(clearCode_);
}

void LzwEncoder::resetTable() {
    std::fill(table_.begin(), table_.end(), kEmpty);
    width_ = uint32_t(minCodeSize_) + 1;
    nextCode_ = endCode_ + 1;
}

void LzwEncoder::encode(const uint8_t* pixels, size_t count) {
    if (count == 0) return;
    size_t i = 0;
    if (prefix_ < 0) prefix_ = pixels[i++] & mask_;
    uint32_t prefix = uint32_t(prefix_);
    uint32_t* const table = table_.data();
    for (; i < count; ++i) {
        const uint32_t pixel = pixels[i] & mask_;
        const uint32_t key = (prefix << 8) | pixel;
        uint32_t h = (key * 2654435761u) >> (32 - kHashBits);
        uint32_t entry;
        while ((entry = table[h]) != kEmpty) {
            if ((entry >> 12) == key) break;
            h = (h + 1) & (kHashSize - 1);
        }
        if (entry != kEmpty) {
            prefix = entry & 0xFFF;
            continue;
        }
        putCode(prefix);
        if (nextCode_ == kMaxCodes) {
            // Table full: the clear goes out at the full 12-bit width.
            putCode(clearCode_);
            resetTable();
        } else {
            // The decoder widens when its next code reaches 2^width; it runs
            // one code behind us, hence the check before the new entry.
            if (nextCode_ == (1u << width_)) ++width_;
            table[h] = (key << 12) | nextCode_++;
        }
        prefix = pixel;
    }
    prefix_ = int32_t(prefix);
}

void LzwEncoder::spillBits() {
    const uint32_t word = uint32_t(bitBuffer_);
    raw_[rawUsed_] = uint8_t(word);
    raw_[rawUsed_ + 1] = uint8_t(word >> 8);
    raw_[rawUsed_ + 2] = uint8_t(word >> 16);
    raw_[rawUsed_ + 3] = uint8_t(word >> 24);
    rawUsed_ += 4;
    bitBuffer_ >>= 32;
    bitCount_ -= 32;
    if (rawUsed_ >= kRawCapacity) flushRaw();
}

// Cuts the packed bytes into sub-blocks and hands whole blocks to the sink;
// a partial last block stays for later unless the stream is ending.
void LzwEncoder::flushRaw() {
    const size_t whole = rawUsed_ / kBlock;
    size_t out = 0;
    for (size_t b = 0; b < whole; ++b) {
        framed_[out++] = uint8_t(kBlock);
        std::memcpy(framed_.data() + out, raw_.data() + b * kBlock, kBlock);
        out += kBlock;
    }
    if (out > 0 && ok_) ok_ = sink_.write(framed_.data(), out);
    const size_t rest = rawUsed_ - whole * kBlock;
    std::memmove(raw_.data(), raw_.data() + whole * kBlock, rest);
    rawUsed_ = rest;
}

LzwCodeWriter::LzwCodeWriter(ByteSink& sink, int minCodeSize) : sink_(sink) {
    const uint8_t size = uint8_t(std::clamp(minCodeSize, 2, 8));
    ok_ = sink_.write(&size, 1);
}

void LzwCodeWriter::put(uint32_t code, uint32_t width) {
    bitBuffer_ |= uint64_t(code) << bitCount_;
    bitCount_ += width;
    while (bitCount_ >= 8) {
        block_[1 + used_++] = uint8_t(bitBuffer_);
        bitBuffer_ >>= 8;
        bitCount_ -= 8;
        if (used_ == kBlock) flushBlock();
    }
}

void LzwCodeWriter::flushBlock() {
    block_[0] = uint8_t(used_);
    if (used_ > 0 && ok_) ok_ = sink_.write(block_, used_ + 1);
    used_ = 0;
}

bool LzwCodeWriter::finish() {
    if (bitCount_ > 0) put(0, 8 - bitCount_);
    flushBlock();
    const uint8_t terminator = 0;
    if (ok_) ok_ = sink_.write(&terminator, 1);
    return ok_;
}

bool LzwEncoder::finish() {
    if (prefix_ >= 0) putCode(uint32_t(prefix_));
    // The decoder adds an entry for that last code too, and may widen.
    if (prefix_ >= 0 && nextCode_ < kMaxCodes && nextCode_ == (1u << width_)) ++width_;
    putCode(endCode_);
    while (bitCount_ > 0) {
        raw_[rawUsed_++] = uint8_t(bitBuffer_);
        bitBuffer_ >>= 8;
        bitCount_ = bitCount_ > 8 ? bitCount_ - 8 : 0;
    }
    flushRaw();
    uint8_t tail[kBlock + 2];
    size_t n = 0;
    if (rawUsed_ > 0) {
        tail[n++] = uint8_t(rawUsed_);
        std::memcpy(tail + n, raw_.data(), rawUsed_);
        n += rawUsed_;
        rawUsed_ = 0;
    }
    tail[n++] = 0;
    if (ok_) ok_ = sink_.write(tail, n);
    return ok_;
}

} // namespace gifenc
