#pragma once
// Packed DIBs on the clipboard. A DIB goes on as our exact packed DIB (header,
// colour table, rows: an 8-bit picture keeps its palette) and as a plain image
// for other programs; reading takes ours first, else any image as 24 bits.
// Clipboard data may come from any program: nothing is handed on unless it
// holds every byte its header promises.
#include "platform/WinTypes.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace dibclip {

inline const QString kDibMime = QStringLiteral("application/x-zentrope-dib");

// Bytes of the packed DIB at the start of `packed`: header, colour table and
// rows; 0 when it is not a whole, uncompressed 1/4/8/24/32-bit DIB.
uint64_t PackedDibSize(const QByteArray& packed);

// Puts a copy of the DIB block on the clipboard; the block stays the caller's.
// False when the block is no readable DIB.
bool PutDib(HGLOBAL dib);

// A new DIB block (the caller's) from the clipboard; 0 when it holds no picture.
HGLOBAL TakeDib();

} // namespace dibclip
