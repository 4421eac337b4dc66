#pragma once
// Editors opened on frame records and comment blocks the way the main
// window opens them, on lists the test owns.
#include "editor/TGifEdit.h"
#include "platform/GlobalMemory.h"

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>

namespace editortest {

// What the main window's component holds: records with their pictures, and
// comment blocks. All freed at the end of the test, so an editor that freed
// a borrowed one shows up as a double free.
struct OwnedAnimation {
    TFrameList frames;
    TCommentList comments;

    OwnedAnimation() = default;
    OwnedAnimation(const OwnedAnimation&) = delete;
    OwnedAnimation& operator=(const OwnedAnimation&) = delete;
    ~OwnedAnimation() {
        for (TMyGifAnimation* record : frames) {
            while (record->DibHandle && (GlobalFlags(record->DibHandle) & 0xFF))
                GlobalUnlock(record->DibHandle);
            if (record->DibHandle) GlobalFree(record->DibHandle);
            delete record;
        }
        for (TStringList* block : comments)
            delete block;
    }
};

// Hands the lists to the editor and fills its lists as the main window does.
inline void attach(TGifEdit& edit, OwnedAnimation& animation) {
    QStringList names;
    for (const TMyGifAnimation* record : animation.frames)
        names << QString::fromStdString(record->Name);
    edit.GifNameBox->addItems(names);
    for (size_t i = 0; i < animation.comments.size(); ++i)
        edit.CommentNameBox->addItem("Comment Block");
    edit.FFrameList = &animation.frames;
    edit.FCommentList = &animation.comments;
    edit.ShowFrameCount(); // counts FFrameList, so after it is set
    edit.ShowScreenValues();
    edit.SetFrameControlsEnabled(false);
}

// A mouse press at a point of a widget, and the release when asked for.
inline void Press(QWidget* target, QPoint at, Qt::MouseButton button, bool release = false) {
    QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    if (!release) return;
    QMouseEvent up(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), button, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(target, &up);
}

} // namespace editortest
