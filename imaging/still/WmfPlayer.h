#pragma once
// Replays a parsed metafile onto a QPainter: the metafile's window is mapped
// onto the target rectangle, and the device-context state (pen, brush, font,
// colours, modes, clip, current position, saved states) is kept as GDI keeps
// it. Objects live in a table whose lowest free slot takes each new object.
#include "imaging/still/WmfRecords.h"

#include <QBrush>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QString>
#include <QTransform>
#include <vector>

class WmfPlayer {
  public:
    WmfPlayer(std::span<const uint8_t> file, const wmf::Document& doc);
    // Plays the records into target; answers how many were played.
    size_t Play(QPainter& painter, const QRectF& target);

    // Saved states beyond this depth are not kept.
    static constexpr size_t kMaxSavedStates = 1024;

  private:
    struct Font {
        int16_t height = 0, escapement = 0, weight = 0;
        bool italic = false, underline = false, strikeOut = false;
        QString face;
    };
    struct Object {
        enum Kind { None, Pen, Brush, Font, Other } kind = None;
        QPen pen;
        QBrush brush;
        WmfPlayer::Font font;
    };
    struct State {
        QPen pen{QColor(Qt::black), 0};
        QBrush brush{Qt::white};
        WmfPlayer::Font font;
        QColor bkColor{Qt::white}, textColor{Qt::black};
        bool opaque = true;
        uint16_t textAlign = 0, rop2 = 13;
        Qt::FillRule fillRule = Qt::OddEvenFill;
        QPointF org{0, 0}, ext{1, 1}, position{0, 0};
        QPainterPath clip; // device coordinates
    };

    void playRecord(const wmf::Record& r);
    void playShape(uint16_t function, const wmf::Params& p);
    void playObject(uint16_t function, const wmf::Params& p);
    void playText(uint16_t function, const wmf::Params& p);
    void playBitmap(uint16_t function, const wmf::Params& p);
    void addObject(Object object);
    void applyMapping();
    void applyClip();
    // Sets pen, brush and mixing mode for a shape; false when nothing may be
    // drawn (the NOP mix).
    bool prepareShape(bool filled);
    void fillDeviceRect(const QRectF& logical, const QBrush& brush, uint32_t rop);
    void drawTextRun(QPointF at, const QByteArray& text, const std::vector<int16_t>& dx,
                     const QRectF* clipRect, const QRectF* opaqueRect);
    QColor colour(uint32_t colorRef) const;
    double scaleX() const;
    double scaleY() const;

    std::span<const uint8_t> file_;
    const wmf::Document& doc_;
    QPainter* painter_ = nullptr;
    QRectF target_;
    QTransform world_;
    State state_;
    std::vector<State> saved_;
    std::vector<Object> objects_;
};
