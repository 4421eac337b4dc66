#include "imaging/still/WmfPicture.h"

#include "imaging/still/WmfPlayer.h"

#include <fstream>
#include <iterator>

bool WmfPicture::LoadFromFile(const std::string& path, std::string& error) {
    Clear();
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        error = "Cannot open " + path;
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size < 0 || uint64_t(size) > wmf::kMaxFileBytes) {
        error = "The metafile is too large";
        return false;
    }
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(size_t(size));
    } catch (const std::bad_alloc&) {
        error = "Not enough memory for the metafile";
        return false;
    }
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        error = "Cannot read " + path;
        return false;
    }
    return LoadFromBytes(std::move(bytes), error);
}

bool WmfPicture::LoadFromBytes(std::vector<uint8_t> bytes, std::string& error) {
    Clear();
    wmf::Document doc;
    if (!wmf::Parse(bytes, doc, error)) return false;
    int32_t w = 0, h = 0;
    wmf::NaturalSize(doc, w, h);
    if (w <= 0 || h <= 0) {
        error = "The metafile gives no picture size";
        return false;
    }
    bytes_ = std::move(bytes);
    doc_ = std::move(doc);
    width_ = w;
    height_ = h;
    return true;
}

void WmfPicture::Clear() {
    bytes_.clear();
    doc_ = wmf::Document{};
    width_ = height_ = 0;
}

size_t WmfPicture::Draw(QPainter& painter, const QRect& target) const {
    if (Empty() || target.isEmpty()) return 0;
    WmfPlayer player(bytes_, doc_);
    return player.Play(painter, QRectF(target));
}
