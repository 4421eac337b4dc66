#pragma once
// The framework's picture object: holds a bitmap (a device bitmap with its
// palette, as the codec's readers deliver it) or a Windows Metafile, loads
// icons and metafiles by file extension, and draws itself into a rectangle.
#include "imaging/still/WmfPicture.h"
#include "platform/TBitmap.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <functional>
#include <string>

class TPicture {
  public:
    enum class Graphic { None, Bitmap, Metafile };

    TPicture() = default;
    TPicture(const TPicture&) = delete;
    TPicture& operator=(const TPicture&) = delete;

    // ".ico" and ".cur" go through the codec's icon reader, ".wmf" through
    // our metafile player (extensions compared case-blind). On failure the
    // picture keeps what it held, ErrorText() says why and OnChange is not
    // fired.
    bool LoadFromFile(const std::string& path);
    void Clear();
    // Takes over both handles of `bitmap` (left empty). An empty bitmap
    // still makes the graphic a bitmap, one without a handle.
    void AssignBitmap(zp::TBitmap& bitmap);
    // A copy of another picture's graphic; false (nothing changed) without memory.
    bool Assign(const TPicture& other);
    // A new 32-bit bitmap of the image's pixels; false for a null image.
    bool AssignImage(const QImage& image);
    // Call after changing the bitmap's pixels in place: refreshes the drawn
    // form and fires OnChange.
    void BitmapChanged();

    Graphic Kind() const { return kind_; }
    bool Empty() const { return kind_ == Graphic::None; }
    // A bitmap graphic whose device bitmap exists.
    bool HasBitmapHandle() const { return kind_ == Graphic::Bitmap && !bitmap_.empty(); }
    int32_t Width() const;
    int32_t Height() const;
    const std::string& ErrorText() const { return error_; }
    // The bitmap (empty unless Kind() is Bitmap).
    const zp::TBitmap& Bitmap() const { return bitmap_; }
    zp::TBitmap& Bitmap() { return bitmap_; }
    // The bitmap's pixels as RGB32: a copy made on first use after each
    // change (a large picture need not exist twice until someone asks);
    // null unless the picture holds a bitmap with a handle. Painting reads
    // the bitmap's own pixels instead.
    const QImage& Image() const;
    const WmfPicture& Metafile() const { return metafile_; }

    // A bitmap is scaled into target; a metafile is replayed into it.
    void Draw(QPainter& painter, const QRect& target) const;

    // Fired after every successful load and change, and after Clear.
    std::function<void()> OnChange;

  private:
    bool loadIcon(const std::string& path, zp::TBitmap& bitmap);
    void refreshImage();
    void changed();

    Graphic kind_ = Graphic::None;
    zp::TBitmap bitmap_;
    mutable QImage image_;
    mutable bool imageStale_ = false;
    WmfPicture metafile_;
    std::string error_;
};

// The pixels of a device bitmap as an RGB32 image (a copy: the bitmap's
// fourth byte is undefined, the image's must be 0xFF); null for no bitmap.
QImage DeviceBitmapToImage(HBITMAP bitmap);
// The same for w x h pixels laid out as a device bitmap's (or a drawing
// surface's); null for no pixels.
QImage PixelsToImage(const uint32_t* bits, int32_t w, int32_t h);
// A new device bitmap holding the image's pixels; 0 for a null image or no memory.
HBITMAP ImageToDeviceBitmap(const QImage& image);
