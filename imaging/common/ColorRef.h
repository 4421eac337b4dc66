#pragma once
// Colours as the platform keeps them (COLORREF, 0x00BBGGRR) turned into Qt's,
// always opaque.
#include "platform/WinTypes.h"

#include <QColor>
#include <QRgb>

inline QRgb ToQRgb(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

inline QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}
