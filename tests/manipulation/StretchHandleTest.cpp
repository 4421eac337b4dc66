// The sizing handles around a control, driven by real mouse events.
#include "ManipulationSupport.h"
#include "manipulation/TStretchHandle.h"

#include <gtest/gtest.h>

using namespace manip;

namespace {

// A 300 x 200 parent holding a control at (100, 80), 50 x 30, wrapped:
// the handles lie at (98, 78), 55 x 35.
struct Wrapped {
    QApplication& app = testsupport::widgetApp();
    QWidget parent;
    QWidget* control = new QWidget(&parent);
    QWidget* other = new QWidget(&parent);
    TStretchHandle* handles = new TStretchHandle(&parent);

    Wrapped() {
        parent.resize(300, 200);
        control->setGeometry(100, 80, 50, 30);
        other->setGeometry(10, 10, 20, 20);
        parent.show();
        handles->Attach(control);
    }
};

} // namespace

TEST(StretchHandle, AttachWrapsTheControlAndRefusesAForm) {
    Wrapped w;
    TStretchHandle loose;
    EXPECT_EQ(loose.size(), QSize(24, 24));
    EXPECT_TRUE(loose.isHidden() && !loose.isEnabled() && !loose.Attached());
    EXPECT_EQ(w.handles->geometry(), QRect(98, 78, 55, 35));
    EXPECT_TRUE(w.handles->isVisible() && w.handles->isEnabled());
    EXPECT_EQ(w.handles->Overlay()->geometry(), QRect(0, 0, 300, 200));

    QWidget form;
    try {
        w.handles->Attach(&form);
        ADD_FAILURE() << "no exception";
    } catch (const EControlInvalid& e) {
        EXPECT_STREQ(e.what(), "Handles can not be attached to this component.");
    }
    EXPECT_EQ(w.handles->AttachedControl(), w.control);
    EXPECT_EQ(w.handles->geometry(), QRect(98, 78, 55, 35));

    w.handles->Attach(w.other);
    EXPECT_EQ(w.handles->geometry(), QRect(8, 8, 25, 25));
    EXPECT_EQ(w.control->geometry(), QRect(100, 80, 50, 30));

    // Presses go to the handler; only the left button drags.
    std::vector<Qt::MouseButton> pressed;
    int doubles = 0;
    w.handles->OnMouseDown = [&](Qt::MouseButton b, QPoint) { pressed.push_back(b); };
    w.handles->OnDblClick = [&] { ++doubles; };
    Mouse(*w.handles, QEvent::MouseButtonPress, {12, 12}, Qt::RightButton);
    EXPECT_FALSE(w.handles->Dragging());
    Mouse(*w.handles, QEvent::MouseButtonDblClick, {12, 12}, Qt::LeftButton);
    EXPECT_EQ(pressed, (std::vector<Qt::MouseButton>{Qt::RightButton, Qt::LeftButton}));
    EXPECT_EQ(doubles, 1);

    w.handles->Detach();
    EXPECT_TRUE(w.handles->isHidden() && !w.handles->isEnabled() && !w.handles->Attached());
}

TEST(StretchHandle, ZonesAndTheirCursors) {
    Wrapped w; // middles at 27 across and 17 down
    struct Row {
        QPoint at;
        int zone;
        Qt::CursorShape cursor;
    };
    for (const Row& row :
         {Row{{0, 0}, 1, Qt::SizeFDiagCursor}, Row{{4, 4}, 1, Qt::SizeFDiagCursor},
          Row{{5, 0}, 0, Qt::DragMoveCursor}, Row{{54, 34}, 4, Qt::SizeFDiagCursor},
          Row{{51, 31}, 4, Qt::SizeFDiagCursor}, Row{{54, 1}, 2, Qt::SizeBDiagCursor},
          Row{{1, 33}, 3, Qt::SizeBDiagCursor}, Row{{27, 2}, 5, Qt::SizeVerCursor},
          Row{{29, 2}, 5, Qt::SizeVerCursor}, Row{{30, 2}, 0, Qt::DragMoveCursor},
          Row{{25, 33}, 7, Qt::SizeVerCursor}, Row{{2, 17}, 6, Qt::SizeHorCursor},
          Row{{53, 15}, 8, Qt::SizeHorCursor}, Row{{27, 17}, 0, Qt::DragMoveCursor}}) {
        SCOPED_TRACE(testing::Message() << row.at.x() << "," << row.at.y());
        Mouse(*w.handles, QEvent::MouseMove, row.at, Qt::NoButton);
        EXPECT_EQ(w.handles->Zone(), row.zone);
        EXPECT_EQ(w.handles->cursor().shape(), row.cursor);
    }
    // A 5 x 5 box: every test matches, the last one in the table wins.
    EXPECT_EQ(TStretchHandle::ZoneAt({2, 2}, QRect(0, 0, 5, 5)), 8);
}

TEST(StretchHandle, DraggingResizesAndMovesWithinLimits) {
    struct Row {
        const char* name;
        QPoint press, release; // in the handles' pixels
        QRect handles;         // after the release
    };
    for (const Row& row : {
             Row{"bottom-right grows", {54, 34}, {64, 44}, {98, 78, 65, 45}},
             Row{"top-left past bottom-right stays 5 x 5", {0, 0}, {120, 90}, {218, 168, 5, 5}},
             Row{"right edge", {53, 17}, {40, 17}, {98, 78, 42, 35}},
             Row{"body past the parent's right edge stops there",
                 {27, 17},
                 {400, 17},
                 {98 + 202 - 27, 78, 55, 35}},
             Row{"body past the top-left corner", {27, 17}, {-500, -500}, {-27, -17, 55, 35}},
         }) {
        SCOPED_TRACE(row.name);
        Wrapped w;
        Mouse(*w.handles, QEvent::MouseMove, row.press, Qt::NoButton);
        Mouse(*w.handles, QEvent::MouseButtonPress, row.press, Qt::LeftButton);
        Mouse(*w.handles, QEvent::MouseMove, row.release, Qt::LeftButton);
        EXPECT_EQ(w.handles->Overlay()->Outline(), row.handles.adjusted(2, 2, -3, -3));
        EXPECT_EQ(w.handles->geometry(), QRect(98, 78, 55, 35)) << "moved before the release";
        Mouse(*w.handles, QEvent::MouseButtonRelease, row.release, Qt::LeftButton);
        EXPECT_FALSE(w.handles->Dragging());
        EXPECT_EQ(w.handles->geometry(), row.handles);
        EXPECT_EQ(w.control->geometry(), row.handles.adjusted(2, 2, -3, -3));
        EXPECT_EQ(w.handles->Overlay()->Outline(), QRect());
    }
}

TEST(StretchHandle, PaintsSquaresAndAnInvertedOutline) {
    Wrapped w;
    w.parent.setAutoFillBackground(true);
    w.parent.setPalette(QPalette(QColor(40, 80, 120)));
    w.handles->SetColor(RGB(128, 0, 0));
    auto at = [&w](int x, int y) { return stillview::Grab(w.parent).pixel(x, y); };
    const QRgb square = qRgb(128, 0, 0), below = qRgb(40, 80, 120);
    EXPECT_EQ(at(98 + 2, 78 + 2), square);   // top-left
    EXPECT_EQ(at(98 + 51, 78 + 31), square); // bottom-right
    EXPECT_EQ(at(98 + 27, 78 + 2), square);  // top middle
    EXPECT_EQ(at(98 + 15, 78 + 2), below);   // between squares
    EXPECT_EQ(at(98 + 54, 78 + 2), below);   // the last column stays clear
    Mouse(*w.handles, QEvent::MouseButtonPress, {27, 17}, Qt::LeftButton);
    Mouse(*w.handles, QEvent::MouseMove, {27 - 90, 17 - 70}, Qt::LeftButton);
    // The outline (10, 10), 50 x 30, inverts what lies below it.
    const QRgb inverted = qRgb(255 - 40, 255 - 80, 255 - 120);
    EXPECT_EQ(at(10, 20), inverted);
    EXPECT_EQ(at(30, 39), inverted);
    EXPECT_EQ(at(30, 20), below);
}
