#include "imaging/still/TPicture.h"

#include "bindings/CodecBinding.h"
#include "bindings/ErrorInvalid.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace {

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

} // namespace

bool TPicture::LoadFromFile(const std::string& path) {
    error_.clear();
    const std::string ext = lowerExtension(path);
    if (ext == ".wmf") {
        WmfPicture loaded;
        if (!loaded.LoadFromFile(path, error_)) return false;
        metafile_ = std::move(loaded);
        image_ = QImage();
        kind_ = Graphic::Metafile;
    } else if (ext == ".ico" || ext == ".cur") {
        QImage loaded;
        if (!loadIcon(path, loaded)) return false;
        image_ = std::move(loaded);
        metafile_.Clear();
        kind_ = Graphic::Bitmap;
    } else {
        error_ = "Unsupported picture type: " + path;
        return false;
    }
    changed();
    return true;
}

bool TPicture::loadIcon(const std::string& path, QImage& image) {
    zp::TBitmap bitmap;
    try {
        if (!DLL96V1::readicofile(path, 24, false, bitmap, nullptr, nullptr)) {
            error_ = DLL96V1::CodecLastErrorText.empty() ? "Cannot read the icon " + path
                                                         : DLL96V1::CodecLastErrorText;
            return false;
        }
    } catch (const ErrorInvalid& e) {
        error_ = e.what();
        return false;
    }
    const int32_t w = bitmap.width(), h = bitmap.height();
    const uint32_t* bits = bitmap.bits();
    if (!bits || w <= 0 || h <= 0 || w > 16384 || h > 16384) {
        error_ = "The icon reader answered no usable bitmap";
        return false;
    }
    image = QImage(w, h, QImage::Format_RGB32);
    if (image.isNull()) {
        error_ = "Not enough memory for the icon";
        return false;
    }
    // Device bitmaps are top-down BGRX rows; X is undefined, RGB32 wants 0xFF.
    for (int32_t y = 0; y < h; ++y) {
        const uint32_t* in = bits + size_t(y) * size_t(w);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int32_t x = 0; x < w; ++x)
            out[x] = in[x] | 0xFF000000u;
    }
    return true;
}

void TPicture::Clear() {
    kind_ = Graphic::None;
    image_ = QImage();
    metafile_.Clear();
    error_.clear();
    changed();
}

int32_t TPicture::Width() const {
    if (kind_ == Graphic::Bitmap) return image_.width();
    if (kind_ == Graphic::Metafile) return metafile_.Width();
    return 0;
}

int32_t TPicture::Height() const {
    if (kind_ == Graphic::Bitmap) return image_.height();
    if (kind_ == Graphic::Metafile) return metafile_.Height();
    return 0;
}

void TPicture::Draw(QPainter& painter, const QRect& target) const {
    if (target.isEmpty()) return;
    if (kind_ == Graphic::Bitmap) painter.drawImage(target, image_);
    if (kind_ == Graphic::Metafile) metafile_.Draw(painter, target);
}

void TPicture::changed() {
    if (OnChange) OnChange();
}
