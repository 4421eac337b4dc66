#pragma once
// The application's cursor table: components register cursors under an
// index and widgets look them up by it. Unknown indexes give the arrow.
#include <QCursor>

void RegisterCursor(int index, const QCursor& cursor);
QCursor CursorAt(int index);
