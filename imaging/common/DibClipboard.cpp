#include "imaging/common/DibClipboard.h"

#include "imaging/animated/PVTDib.h"
#include "imaging/common/DibImage.h"
#include "platform/Gdi.h"
#include "platform/GlobalBlock.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMimeData>
#include <cstring>

namespace dibclip {

uint64_t PackedDibSize(const QByteArray& packed) {
    if (size_t(packed.size()) < sizeof(BITMAPINFOHEADER)) return 0;
    BITMAPINFOHEADER header;
    std::memcpy(&header, packed.constData(), sizeof header);
    const int bits = header.biBitCount;
    if (header.biSize != sizeof header || header.biCompression != BI_RGB || header.biPlanes != 1)
        return 0;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return 0;
    const int64_t width = header.biWidth, height = header.biHeight < 0 ? -int64_t(header.biHeight)
                                                                       : int64_t(header.biHeight);
    if (width < 1 || height < 1 || width > kMaxBitmapSide || height > kMaxBitmapSide) return 0;
    const uint64_t maxColours = bits <= 8 ? (1u << bits) : 0;
    const uint64_t colours = header.biClrUsed ? header.biClrUsed : maxColours;
    if (colours > 256) return 0;
    const uint64_t stride = PVTDibCore::StrideFor(int32_t(width), bits);
    const uint64_t total = sizeof header + colours * 4 + stride * uint64_t(height);
    return total <= uint64_t(packed.size()) ? total : 0;
}

bool PutDib(HGLOBAL dib) {
    zp::GlobalLockGuard lock(dib);
    if (!lock) return false;
    const auto* header = lock.as<const BITMAPINFOHEADER>();
    const QImage image = dibimage::ToImage(header);
    if (image.isNull()) return false;
    auto* data = new QMimeData;
    data->setData(kDibMime, QByteArray(lock.as<const char>(), qsizetype(GlobalSize(dib))));
    data->setImageData(image);
    QApplication::clipboard()->setMimeData(data);
    return true;
}

namespace {

HGLOBAL BlockOf(const QByteArray& packed, uint64_t size) {
    zp::GlobalBlock block = zp::GlobalBlock::allocate(size);
    {
        zp::GlobalLockGuard lock(block.get());
        if (!lock) return 0;
        std::memcpy(lock.data(), packed.constData(), size);
    }
    return block.release();
}

// A bottom-up 24-bit DIB of the image, the way any other picture arrives.
HGLOBAL BlockOf(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    if (image.isNull() || image.width() > kMaxBitmapSide || image.height() > kMaxBitmapSide)
        return 0;
    const uint64_t stride = PVTDibCore::StrideFor(image.width(), 24);
    const uint64_t total = sizeof(BITMAPINFOHEADER) + stride * uint64_t(image.height());
    zp::GlobalBlock block = zp::GlobalBlock::allocate(total);
    {
        zp::GlobalLockGuard lock(block.get());
        if (!lock) return 0;
        auto* header = lock.as<BITMAPINFOHEADER>();
        header->biSize = sizeof(BITMAPINFOHEADER);
        header->biWidth = image.width();
        header->biHeight = image.height();
        header->biPlanes = 1;
        header->biBitCount = 24;
        header->biSizeImage = uint32_t(stride * uint64_t(image.height()));
        auto* rows = lock.as<uint8_t>() + sizeof(BITMAPINFOHEADER);
        for (int y = 0; y < image.height(); ++y) {
            const uint8_t* in = image.constScanLine(y);
            uint8_t* out = rows + stride * uint64_t(image.height() - 1 - y);
            for (int x = 0; x < image.width(); ++x) {
                out[3 * x] = in[3 * x + 2];
                out[3 * x + 1] = in[3 * x + 1];
                out[3 * x + 2] = in[3 * x];
            }
        }
    }
    return block.release();
}

} // namespace

HGLOBAL TakeDib() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    if (!data) return 0;
    if (data->hasFormat(kDibMime)) {
        const QByteArray packed = data->data(kDibMime);
        if (const uint64_t size = PackedDibSize(packed)) return BlockOf(packed, size);
    }
    if (!data->hasImage()) return 0;
    return BlockOf(qvariant_cast<QImage>(data->imageData()));
}

} // namespace dibclip
