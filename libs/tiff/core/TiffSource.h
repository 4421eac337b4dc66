#pragma once
// A TIFF file held in memory, opened through libtiff's client interface so
// that the entry points and the fuzz target share one path. libtiff's
// messages never reach stderr: errors are kept as the last error text,
// warnings are dropped.
#include <cstddef>
#include <cstdint>
#include <tiffio.h>

namespace tifcore {

class TiffSource {
  public:
    TiffSource(const uint8_t* data, size_t size);
    ~TiffSource();
    TiffSource(const TiffSource&) = delete;
    TiffSource& operator=(const TiffSource&) = delete;

    // Answers TE_OK, TE_NOT_TIFF (no header) or TE_CORRUPT (libtiff refused it).
    int32_t open();
    TIFF* tiff() const { return tiff_; }
    // Directories in the file, counted without trusting loops (libtiff
    // detects IFD loops); at most kMaxPages.
    int32_t pageCount();
    static constexpr int32_t kMaxPages = 32767;

    // libtiff's client callbacks read from here.
    const uint8_t* data;
    size_t size;
    uint64_t position = 0;

  private:
    TIFF* tiff_ = nullptr;
};

} // namespace tifcore
