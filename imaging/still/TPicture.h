#pragma once
// The framework's picture object: holds an icon (as a bitmap) or a Windows
// Metafile, loaded by file extension, and draws it into a rectangle.
#include "imaging/still/WmfPicture.h"

#include <QImage>
#include <QPainter>
#include <QRect>
#include <functional>
#include <string>

class TPicture {
  public:
    enum class Graphic { None, Bitmap, Metafile };

    // ".ico" and ".cur" go through the codec's icon reader, ".wmf" through
    // our metafile player (extensions compared case-blind). On failure the
    // picture keeps what it held, ErrorText() says why and OnChange is not
    // fired.
    bool LoadFromFile(const std::string& path);
    void Clear();

    Graphic Kind() const { return kind_; }
    bool Empty() const { return kind_ == Graphic::None; }
    int32_t Width() const;
    int32_t Height() const;
    const std::string& ErrorText() const { return error_; }
    // The icon's pixels (RGB32); null unless Kind() is Bitmap.
    const QImage& Image() const { return image_; }
    const WmfPicture& Metafile() const { return metafile_; }

    // A bitmap is scaled into target; a metafile is replayed into it.
    void Draw(QPainter& painter, const QRect& target) const;

    // Fired after every successful load and after Clear.
    std::function<void()> OnChange;

  private:
    bool loadIcon(const std::string& path, QImage& image);
    void changed();

    Graphic kind_ = Graphic::None;
    QImage image_;
    WmfPicture metafile_;
    std::string error_;
};
