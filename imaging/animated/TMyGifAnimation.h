#pragma once
// One frame of an animation: the GIF blocks of one image and its picture.
// Animation-wide values (screen size, colours, background, loops) are read
// from frame 0 when saving; later frames mirror them.
#include "platform/WinTypes.h"
#include <cstdint>
#include <string>
#include <vector>

struct TMyGifAnimation {
    std::string Name; // "Frame n of file.gif" or "New Frame"
    uint16_t ScreenWidth = 0;
    uint16_t ScreenHeight = 0;
    uint8_t ScreenColors = 0;   // global table size; 255 stands for 256
    uint8_t ScreenReserved = 0; // the codec's header byte 7, carried, never written back
    uint8_t UseLocalPalette = 0;
    uint8_t LocalColors = 0; // 255 stands for 256
    COLORREF BackgroundColor = 0;
    int16_t Left = 0;
    int16_t Top = 0;
    int16_t Width = 0;
    int16_t Height = 0;
    uint8_t Interlaced = 0;
    uint8_t Disposal = 0; // 0 none, 1 keep, 2 background; 3.. carried as is
    uint8_t HasTransparency = 0;
    uint8_t TransparentIndex = 0;
    uint16_t Delay = 0;    // hundredths of a second
    int32_t Loops = 0;     // times shown, 0 = forever
    HGLOBAL DibHandle = 0; // packed DIB owned by the record; 0 = no picture
};

// A comment block's text split into lines.
using TStringList = std::vector<std::string>;
// Display order. The list holds pointers: the editor and temporary
// components hand the same records around by reference.
using TFrameList = std::vector<TMyGifAnimation*>;
using TCommentList = std::vector<TStringList*>;

// Splits text at CR LF, LF or CR; a final line break adds no empty line.
TStringList SplitLines(const std::string& text);
// Joins lines with LF between them.
std::string JoinLines(const TStringList& lines);
