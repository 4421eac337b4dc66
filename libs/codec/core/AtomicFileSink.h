#pragma once
// A file written under a temporary name in the target's folder and renamed
// over the target only by commit(): a failed or abandoned save leaves an
// existing file as it was and no temporary behind.
#include "libs/codec/core/ByteSink.h"
#include <string>

namespace gifenc {

class AtomicFileSink final : public ByteSink {
  public:
    AtomicFileSink() = default;
    ~AtomicFileSink() override;
    AtomicFileSink(const AtomicFileSink&) = delete;
    AtomicFileSink& operator=(const AtomicFileSink&) = delete;

    // Creates the temporary file beside target; false when the folder cannot
    // take a new file.
    bool open(const std::string& target);
    bool write(const void* data, size_t n) override;
    bool rewrite(uint64_t offset, const void* data, size_t n) override;
    uint64_t written() const override { return written_; }
    bool failed() const { return failed_; }
    // Flushes, gives the file the target's mode (a new file: 0666 less the
    // umask) and renames it over the target. False when any step failed; the
    // temporary is gone either way.
    bool commit();
    // Drops the temporary file (also done by the destructor).
    void abandon();

  private:
    bool flush();
    bool writeAll(const uint8_t* p, size_t n);

    int fd_ = -1;
    std::string target_;
    std::string temp_;
    std::vector<uint8_t> buffer_;
    size_t used_ = 0;
    uint64_t written_ = 0;
    bool failed_ = false;
};

} // namespace gifenc
