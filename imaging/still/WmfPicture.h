#pragma once
// A Windows Metafile held in memory: loaded from a file or bytes, sized, and
// replayed vectorially into any rectangle of a QPainter.
#include "imaging/still/WmfRecords.h"

#include <QPainter>
#include <QRect>
#include <cstdint>
#include <string>
#include <vector>

class WmfPicture {
  public:
    // False with a reason when the file cannot be read or its headers are
    // not a metafile's, or when it gives no size. The picture is then empty.
    bool LoadFromFile(const std::string& path, std::string& error);
    bool LoadFromBytes(std::vector<uint8_t> bytes, std::string& error);
    void Clear();

    bool Empty() const { return bytes_.empty(); }
    // Natural size in pixels (96 dpi); 0 when empty.
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    const wmf::Document& Document() const { return doc_; }

    // Maps the metafile's window onto target and plays it; answers the
    // number of records played.
    size_t Draw(QPainter& painter, const QRect& target) const;

  private:
    std::vector<uint8_t> bytes_;
    wmf::Document doc_;
    int32_t width_ = 0, height_ = 0;
};
