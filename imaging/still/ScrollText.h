#pragma once
// State of the still-image component's scrolling-text modes: the text
// rendered once into an off-screen image, where that image stands, and the
// tick counter that paces the steps.
#include "imaging/still/ScrollTextFile.h"
#include "platform/WinTypes.h"

#include <QFont>
#include <QImage>
#include <QString>

class QWidget;

struct ScrollTextState {
    enum class Mode { None, Message, Credits };
    Mode mode = Mode::None;
    // The control's Color before the mode started; StopScrollText puts it back.
    COLORREF savedColor = 0;
    // The rendered text on the background colour; its size is the text's.
    QImage text;
    // Left and top of the text image in control pixels. The message's top
    // and the credit line's left are recomputed from the control's size at
    // each paint (both are centred), so only the moving axis is kept here.
    int x = 0;
    int y = 0;
    // Raised on each step message of the running mode; a step happens when
    // it exceeds the speed, which resets it.
    int ticks = 0;
};

namespace scrolltext {

// The drawable font of a file's settings. Height and size combine so: a
// height given in the file wins (negative = character height in pixels,
// positive = cell height); without one a positive size in points is used
// (at 96 dots per inch); without either, the default height -13. "SYSTEM"
// names the platform's general-purpose font.
QFont MakeFont(const Settings& settings);

// `text` drawn in `font` and `fontColor` on `backColor` from the left edge,
// on an image `extraWidth` pixels wider than the text. The width is
// capped at kMaxImageWidth pixels, so no text makes an unbounded image.
inline constexpr int kMaxImageWidth = 16384;
QImage RenderText(const QString& text, const QFont& font, COLORREF fontColor, COLORREF backColor,
                  int extraWidth);

// File bytes as text: UTF-8 when they are valid UTF-8, else Latin-1.
QString DecodeText(const std::string& bytes);

} // namespace scrolltext
