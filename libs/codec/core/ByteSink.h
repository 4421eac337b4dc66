#pragma once
// Where the GIF writer puts its bytes: a memory buffer (benchmarks, tests) or
// a file (the module). The writer never reads back; it only patches a few
// header bytes once every frame is known (the logical screen size).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace gifenc {

class ByteSink {
  public:
    virtual ~ByteSink() = default;
    // False once any write failed; later writes are then ignored.
    virtual bool write(const void* data, size_t n) = 0;
    // Overwrites n bytes already written at offset.
    virtual bool rewrite(uint64_t offset, const void* data, size_t n) = 0;
    virtual uint64_t written() const = 0;
};

class MemorySink final : public ByteSink {
  public:
    bool write(const void* data, size_t n) override {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + n);
        return true;
    }
    bool rewrite(uint64_t offset, const void* data, size_t n) override {
        if (offset > bytes_.size() || n > bytes_.size() - offset) return false;
        std::memcpy(bytes_.data() + offset, data, n);
        return true;
    }
    uint64_t written() const override { return bytes_.size(); }

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    void clear() { bytes_.clear(); }

  private:
    std::vector<uint8_t> bytes_;
};

} // namespace gifenc
