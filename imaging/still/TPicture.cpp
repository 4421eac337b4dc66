#include "imaging/still/TPicture.h"

#include "bindings/CodecBinding.h"
#include "bindings/EffectsBinding.h"
#include "bindings/ErrorInvalid.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

namespace {

std::string lowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return ext;
}

} // namespace

QImage DeviceBitmapToImage(HBITMAP bitmap) {
    int32_t w = 0, h = 0;
    const uint32_t* bits = DeviceBitmapBits(bitmap);
    if (!bits || !GetDeviceBitmapSize(bitmap, &w, &h)) return {};
    return PixelsToImage(bits, w, h);
}

QImage PixelsToImage(const uint32_t* bits, int32_t w, int32_t h) {
    if (!bits || w <= 0 || h <= 0) return {};
    QImage image(w, h, QImage::Format_RGB32);
    if (image.isNull()) return {};
    for (int32_t y = 0; y < h; ++y) {
        const uint32_t* in = bits + size_t(y) * size_t(w);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int32_t x = 0; x < w; ++x)
            out[x] = in[x] | 0xFF000000u;
    }
    return image;
}

HBITMAP ImageToDeviceBitmap(const QImage& image) {
    if (image.isNull()) return 0;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const HBITMAP bitmap = CreateDeviceBitmap(rgb.width(), rgb.height());
    if (!bitmap) return 0;
    uint32_t* bits = DeviceBitmapBits(bitmap);
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(bits + size_t(y) * size_t(rgb.width()), rgb.constScanLine(y),
                    size_t(rgb.width()) * 4);
    return bitmap;
}

bool TPicture::LoadFromFile(const std::string& path) {
    error_.clear();
    const std::string ext = lowerExtension(path);
    if (ext == ".wmf") {
        WmfPicture loaded;
        if (!loaded.LoadFromFile(path, error_)) return false;
        metafile_ = std::move(loaded);
        bitmap_.setHandle(0);
        bitmap_.setPalette(0);
        kind_ = Graphic::Metafile;
    } else if (ext == ".ico" || ext == ".cur") {
        zp::TBitmap loaded;
        if (!loadIcon(path, loaded)) return false;
        bitmap_.setHandle(loaded.releaseHandle());
        bitmap_.setPalette(loaded.releasePalette());
        metafile_.Clear();
        kind_ = Graphic::Bitmap;
    } else {
        error_ = "Unsupported picture type: " + path;
        return false;
    }
    refreshImage();
    changed();
    return true;
}

bool TPicture::loadIcon(const std::string& path, zp::TBitmap& bitmap) {
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
    if (!bitmap.bits() || w <= 0 || h <= 0 || w > kMaxBitmapSide || h > kMaxBitmapSide) {
        error_ = "The icon reader answered no usable bitmap";
        return false;
    }
    return true;
}

void TPicture::Clear() {
    kind_ = Graphic::None;
    bitmap_.setHandle(0);
    bitmap_.setPalette(0);
    image_ = QImage();
    imageStale_ = false;
    metafile_.Clear();
    error_.clear();
    changed();
}

void TPicture::AssignBitmap(zp::TBitmap& bitmap) {
    bitmap_.setHandle(bitmap.releaseHandle());
    bitmap_.setPalette(bitmap.releasePalette());
    metafile_.Clear();
    kind_ = Graphic::Bitmap;
    refreshImage();
    changed();
}

bool TPicture::Assign(const TPicture& other) {
    if (&other == this) return true;
    if (other.kind_ == Graphic::None) {
        Clear();
        return true;
    }
    zp::TBitmap copy;
    if (other.HasBitmapHandle() && !DllSP96::CopyBitmap(other.bitmap_, copy)) return false;
    bitmap_.setHandle(copy.releaseHandle());
    bitmap_.setPalette(copy.releasePalette());
    metafile_ = other.metafile_;
    kind_ = other.kind_;
    refreshImage();
    changed();
    return true;
}

bool TPicture::AssignImage(const QImage& image) {
    const HBITMAP bitmap = ImageToDeviceBitmap(image);
    if (!bitmap) return false;
    zp::TBitmap held;
    held.setHandle(bitmap);
    AssignBitmap(held);
    return true;
}

void TPicture::BitmapChanged() {
    refreshImage();
    changed();
}

void TPicture::refreshImage() {
    image_ = QImage();
    imageStale_ = kind_ == Graphic::Bitmap;
}

const QImage& TPicture::Image() const {
    if (imageStale_) {
        image_ = DeviceBitmapToImage(bitmap_.handle());
        imageStale_ = false;
    }
    return image_;
}

int32_t TPicture::Width() const {
    if (kind_ == Graphic::Bitmap) return bitmap_.empty() ? 0 : bitmap_.width();
    if (kind_ == Graphic::Metafile) return metafile_.Width();
    return 0;
}

int32_t TPicture::Height() const {
    if (kind_ == Graphic::Bitmap) return bitmap_.empty() ? 0 : bitmap_.height();
    if (kind_ == Graphic::Metafile) return metafile_.Height();
    return 0;
}

void TPicture::Draw(QPainter& painter, const QRect& target) const {
    if (target.isEmpty()) return;
    if (kind_ == Graphic::Bitmap && !Image().isNull()) painter.drawImage(target, Image());
    if (kind_ == Graphic::Metafile) metafile_.Draw(painter, target);
}

void TPicture::changed() {
    if (OnChange) OnChange();
}
