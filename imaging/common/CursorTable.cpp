#include "imaging/common/CursorTable.h"

#include <map>

namespace {
std::map<int, QCursor>& table() {
    static std::map<int, QCursor> cursors;
    return cursors;
}
} // namespace

void RegisterCursor(int index, const QCursor& cursor) {
    table()[index] = cursor;
}

QCursor CursorAt(int index) {
    const auto it = table().find(index);
    return it == table().end() ? QCursor(Qt::ArrowCursor) : it->second;
}
