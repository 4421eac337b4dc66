#pragma once
// Editors opened on frame records and comment blocks the way the main
// window opens them, on lists the test owns.
#include "editor/TGifEdit.h"
#include "imaging/animated/AnimationFixtures.h"
#include "platform/GlobalMemory.h"

#include <QApplication>
#include <QListWidget>
#include <QMouseEvent>
#include <string>
#include <vector>

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

// An editor on frames of its own, set up as the main window sets it up.
struct EditorOn {
    editortest::OwnedAnimation anim;
    TFrameList& frames = anim.frames;
    TGifEdit edit;

    explicit EditorOn(int count, int w = 20, int h = 10) {
        for (int i = 0; i < count; ++i) {
            TMyGifAnimation* r = fixtures::frame(
                w, h, 8, [i](int x, int) { return uint8_t((x + i) % 4); },
                [](int c) {
                    return RGBQUAD{uint8_t(c * 60), uint8_t(255 - c * 60), 7, 0};
                });
            r->Name = "Frame " + std::to_string(i + 1);
            r->ScreenWidth = uint16_t(w);
            r->ScreenHeight = uint16_t(h);
            r->Delay = uint16_t(10 + i);
            frames.push_back(r);
        }
        editortest::attach(edit, anim);
    }
    // An editor on records of the test's making (the editor borrows them).
    explicit EditorOn(const std::vector<TMyGifAnimation*>& records) {
        frames = records;
        editortest::attach(edit, anim);
    }
    void click(int row) {
        edit.GifNameBox->setCurrentRow(row);
        edit.LoadFrameIntoPanels();
    }
};

} // namespace editortest
