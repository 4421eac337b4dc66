#include "libs/codec/core/AtomicFileSink.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace gifenc {

namespace {

constexpr size_t kBufferSize = size_t(1) << 16;

// The process umask without changing it (umask() would race other threads).
mode_t currentUmask() {
    if (FILE* f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        unsigned value = 022;
        bool found = false;
        while (!found && std::fgets(line, sizeof line, f))
            found = std::sscanf(line, "Umask: %o", &value) == 1;
        std::fclose(f);
        if (found) return mode_t(value);
    }
    return 022;
}

} // namespace

AtomicFileSink::~AtomicFileSink() {
    abandon();
}

bool AtomicFileSink::open(const std::string& target) {
    abandon();
    target_ = target;
    const size_t slash = target.find_last_of('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    if (name.empty()) return false;
    // Hidden, so a folder listing taken meanwhile does not offer it; a long
    // name gets a short stand-in to stay within the file-name limit.
    std::string pattern =
        folder + "." + (name.size() > 200 ? std::string("zentrope") : name) + ".XXXXXX";
    fd_ = mkstemp(pattern.data());
    if (fd_ < 0) return false;
    temp_ = pattern;
    buffer_.resize(kBufferSize);
    used_ = 0;
    written_ = 0;
    failed_ = false;
    return true;
}

bool AtomicFileSink::writeAll(const uint8_t* p, size_t n) {
    while (n > 0) {
        const ssize_t done = ::write(fd_, p, n);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        p += done;
        n -= size_t(done);
    }
    return true;
}

bool AtomicFileSink::flush() {
    if (failed_ || fd_ < 0) return false;
    if (used_ > 0 && !writeAll(buffer_.data(), used_)) failed_ = true;
    used_ = 0;
    return !failed_;
}

bool AtomicFileSink::write(const void* data, size_t n) {
    if (failed_ || fd_ < 0) return false;
    const auto* p = static_cast<const uint8_t*>(data);
    written_ += n;
    if (n >= buffer_.size()) {
        if (!flush()) return false;
        if (!writeAll(p, n)) failed_ = true;
        return !failed_;
    }
    if (used_ + n > buffer_.size() && !flush()) return false;
    std::memcpy(buffer_.data() + used_, p, n);
    used_ += n;
    return true;
}

bool AtomicFileSink::rewrite(uint64_t offset, const void* data, size_t n) {
    if (offset > written_ || n > written_ - offset || !flush()) return false;
    const auto* p = static_cast<const uint8_t*>(data);
    while (n > 0) {
        const ssize_t done = ::pwrite(fd_, p, n, off_t(offset));
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            failed_ = true;
            return false;
        }
        p += done;
        n -= size_t(done);
        offset += uint64_t(done);
    }
    return true;
}

bool AtomicFileSink::commit() {
    if (fd_ < 0) return false;
    bool ok = flush();
    struct stat existing {};
    const mode_t mode = ::stat(target_.c_str(), &existing) == 0 ? (existing.st_mode & 07777)
                                                                : (0666 & ~currentUmask());
    ok = ok && ::fchmod(fd_, mode) == 0;
    ok = ::close(fd_) == 0 && ok;
    fd_ = -1;
    ok = ok && std::rename(temp_.c_str(), target_.c_str()) == 0;
    if (!ok) ::unlink(temp_.c_str());
    temp_.clear();
    return ok;
}

void AtomicFileSink::abandon() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

} // namespace gifenc
