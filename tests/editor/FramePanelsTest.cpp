// The editor's frame panels, frame list and playback, driven as a user
// would: clicks on list entries, values typed into the spin edits, the
// panels' mouse buttons, the menu's commands.
#include "EditorTestSupport.h"
#include "WidgetSupport.h"
#include "app/SharedForms.h"
#include "app/THelpWindow.h"
#include "app/TWhatsThisForm.h"
#include "app/TYesNo.h"
#include "app/dialogs/ModalDriver.h"
#include "editor/TGifEdit.h"
#include "editor/TPaintBox.h"
#include "imaging/animated/AnimationFixtures.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/common/ColorRef.h"
#include "platform/Gdi.h"
#include "platform/Module.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolButton>
#include <gtest/gtest.h>
#include <vector>

namespace {

using editortest::Press;

using editortest::EditorOn;

bool WaitUntil(const std::function<bool()>& condition, int milliseconds = 3000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition() && clock.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    return condition();
}

} // namespace

TEST(EditorPanels, DisposalMapsBothWays) {
    testsupport::widgetApp();
    EditorOn e(2);
    struct Row {
        uint8_t stored;
        int item; // shown for the stored value
    };
    for (const Row row : {Row{0, 0}, Row{1, 1}, Row{2, 2}, Row{4, 3}, Row{3, -1}}) {
        e.frames[1]->Disposal = row.stored;
        e.click(1);
        EXPECT_EQ(e.edit.Dispos->currentIndex(), row.item) << int(row.stored);
        EXPECT_EQ(e.frames[1]->Disposal, row.stored) << "showing a frame stores nothing";
    }
    for (const Row row : {Row{4, 3}, Row{0, 0}, Row{2, 2}, Row{1, 1}}) {
        e.edit.Dispos->setCurrentIndex(row.item);
        emit e.edit.Dispos->activated(row.item);
        EXPECT_EQ(e.frames[1]->Disposal, row.stored);
    }
}

TEST(EditorPanels, PositionsScreenAndRangesFollowTheRecordFields) {
    testsupport::widgetApp();
    EditorOn e(2, 30, 40);
    e.frames[0]->ScreenHeight = 60;
    e.click(1);
    e.edit.TopEdit->setValue(50);
    EXPECT_EQ(e.frames[1]->Top, 50);
    EXPECT_EQ(e.edit.ScreenHeightEdit->value(), 90);
    EXPECT_EQ(e.frames[0]->ScreenHeight, 90);
    e.edit.LeftEdit->setValue(500);
    EXPECT_EQ(e.frames[1]->Left, 500);
    EXPECT_EQ(e.frames[0]->ScreenWidth, 30);
    EXPECT_EQ(e.edit.PaintBox1->pos(), QPoint(500, 50));

    // Typed values past the field's range are clamped, never wrapped.
    struct Row {
        QSpinBox* spin;
        int typed;
        int stored;
        std::function<int()> field;
    };
    TMyGifAnimation* f = e.frames[1];
    for (const Row& row : {Row{e.edit.DelaySpin, 70000, 65535, [f] { return int(f->Delay); }},
                           Row{e.edit.NetLoopsSpin, 99999, 65000, [f] { return f->Loops; }},
                           Row{e.edit.LeftEdit, 40000, 32767, [f] { return int(f->Left); }},
                           Row{e.edit.ScreenWidthEdit, 70000, 65535,
                               [&e] { return int(e.frames[0]->ScreenWidth); }}}) {
        QLineEdit* field = row.spin->findChild<QLineEdit*>();
        field->selectAll();
        for (const QChar digit : QString::number(row.typed)) {
            QKeyEvent key(QEvent::KeyPress, Qt::Key_0 + digit.digitValue(), Qt::NoModifier, digit);
            QApplication::sendEvent(field, &key);
        }
        dialogtest::PressKey(field, Qt::Key_Return);
        EXPECT_EQ(row.field(), row.stored) << row.spin->objectName().toStdString();
    }
}

TEST(EditorPanels, ColoursTransparencyAndPicking) {
    testsupport::widgetApp();
    EditorOn e(2);
    e.frames[1]->HasTransparency = 1;
    e.frames[1]->TransparentIndex = 2;
    e.click(1);
    EXPECT_EQ(e.edit.FPaletteIndex, 2);
    EXPECT_EQ(e.edit.Panel6->text(), "3");
    EXPECT_TRUE(e.edit.Panel6->isVisibleTo(&e.edit));

    // A pixel of the preview picks its colour and the nearest entry.
    e.edit.PaintBox1->resize(20, 10);
    Press(e.edit.PaintBox1, QPoint(1, 0), Qt::LeftButton); // index (1 + 1) % 4 = 2
    EXPECT_EQ(e.edit.trbBlue->value(), 120);
    EXPECT_EQ(e.edit.trbGreen->value(), 135);
    EXPECT_EQ(e.edit.trbRed->value(), 7);
    Press(e.edit.PaintBox1, QPoint(2, 0), Qt::LeftButton); // index 3
    EXPECT_EQ(e.edit.FPaletteIndex, 3);
    EXPECT_EQ(e.edit.lblPalText->text(), "Color Index: (3)");
    Press(e.edit.Panel6, QPoint(2, 2), Qt::LeftButton);
    EXPECT_EQ(e.frames[1]->TransparentIndex, 3);
    EXPECT_EQ(e.edit.Panel6->text(), "4");

    // Without transparency the index is stored but the panel shows the face colour.
    e.click(0);
    e.edit.FPaletteIndex = 1;
    Press(e.edit.Panel6, QPoint(2, 2), Qt::RightButton);
    EXPECT_EQ(e.frames[0]->TransparentIndex, 1);
    EXPECT_EQ(e.edit.Panel6->palette().color(QPalette::Window).rgb(),
              ToQRgb(GetSysColor(COLOR_BTNFACE)));

    // A right click on the back colour stores the reference, not its RGB.
    Press(e.edit.Panel5, QPoint(2, 2), Qt::RightButton);
    EXPECT_EQ(e.frames[0]->BackgroundColor, clBtnFace);
    EXPECT_EQ(ColorToRGB(e.edit.Panel5Color()), GetSysColor(COLOR_BTNFACE));
}

TEST(EditorPanels, LayoutPinsTheInfoBoxes) {
    testsupport::widgetApp();
    EditorOn e(1);
    e.edit.show();
    e.edit.resize(700, 700);
    QApplication::processEvents();
    const int bottom = e.edit.Panel3->y();
    EXPECT_EQ(e.edit.PaletteInfo->geometry().bottom() + 1, bottom);
    EXPECT_EQ(e.edit.GifNameBox->height(), bottom - e.edit.PaletteInfo->height() - 14);
    e.edit.resize(626, 200);
    QApplication::processEvents();
    for (QGroupBox* box : {e.edit.ImageInfo, e.edit.FrameInfo, e.edit.PaletteInfo})
        EXPECT_EQ(box->y(), TGifEdit::MinInfoTop);
    EXPECT_EQ(e.edit.GifNameBox->height(), 185);
    EXPECT_EQ(e.edit.ScrollBox1->height(), 185);
}

TEST(EditorFrames, MoveAndDeleteKeepTheListAndFreeWhatTheyRemove) {
    testsupport::widgetApp();
    EditorOn e(4, 16, 8);
    e.frames[0]->ScreenWidth = 50;
    e.click(0);
    e.edit.UpdateMoveButtons();
    EXPECT_FALSE(e.edit.MoveUp->isEnabled());
    EXPECT_TRUE(e.edit.MoveDown->isEnabled());
    TMyGifAnimation* first = e.frames[0];
    e.edit.MoveDownClick();
    EXPECT_EQ(e.frames[1], first);
    EXPECT_EQ(e.edit.GifNameBox->item(1)->text(), "Frame 1");
    EXPECT_EQ(e.frames[0]->ScreenWidth, 50) << "the new first frame takes the screen";

    // Delete the current frame and one more; the rest is renamed in order.
    e.click(1);
    e.edit.GifNameBox->item(3)->setSelected(true);
    dialogtest::OnModal([](QWidget* w) { static_cast<TYesNo*>(w)->BitBtn1->click(); });
    e.edit.DeleteSelectedframesClick();
    ASSERT_EQ(e.frames.size(), 2u);
    EXPECT_EQ(e.edit.Frames->text(), "2");
    EXPECT_EQ(e.edit.GifNameBox->item(0)->text(), "Frame 2");
    EXPECT_EQ(e.edit.GifNameBox->item(1)->text(), "Frame 3");
    EXPECT_EQ(e.frames[0]->ScreenWidth, 50);
    ASSERT_NE(e.edit.FCurrentFrame, nullptr);
    e.edit.DelaySpin->setValue(77); // reaches a live record (ASan watches)
    EXPECT_EQ(e.edit.FCurrentFrame->Delay, 77);

    e.edit.SelectAllClick();
    dialogtest::OnModal([](QWidget* w) { static_cast<TYesNo*>(w)->BitBtn1->click(); });
    e.edit.DeleteSelectedframesClick();
    EXPECT_TRUE(e.frames.empty());
    EXPECT_EQ(e.edit.FCurrentFrame, nullptr);
    EXPECT_EQ(e.edit.Frames->text(), "0");
    EXPECT_FALSE(e.edit.LeftEdit->isEnabled());
    EXPECT_FALSE(e.edit.Save1->isEnabled());
}

TEST(EditorPlayback, MenuPlaysAndStopsWithoutTouchingTheRecords) {
    testsupport::widgetApp();
    EditorOn e(3);
    std::vector<TMyGifAnimation> before;
    for (const TMyGifAnimation* r : e.frames)
        before.push_back(*r);
    e.edit.show();
    e.click(0);
    e.edit.GifNameBox->item(2)->setSelected(true);
    const auto expectPlaying = [&e](bool playing) {
        ASSERT_EQ(e.edit.Playing(), playing);
        ASSERT_EQ(e.edit.TempImage() != nullptr, playing);
        for (bool shown : {e.edit.Play1->isChecked(), e.edit.PlayGif->isChecked(),
                           !e.edit.FrameInfo->isVisible(), !e.edit.PaletteInfo->isVisible(),
                           !e.edit.PaintBox1->isVisible(), !e.edit.GifNameBox->isEnabled(),
                           !e.edit.Save1->isEnabled()})
            EXPECT_EQ(shown, playing);
    };
    for (int round = 0; round < 2; ++round) {
        e.edit.Play1->trigger();
        expectPlaying(true);
        // The list follows the frame on display.
        EXPECT_TRUE(WaitUntil([&] { return e.edit.GifNameBox->item(1)->isSelected(); }));
        e.edit.GifNameBox->setCurrentRow(2);
        e.edit.LoadFrameIntoPanels(); // ignored while playing
        EXPECT_EQ(e.edit.FCurrentFrame, e.frames[0]);
        e.edit.Play1->trigger();
        expectPlaying(false);
        // The user's selection comes back, not playback's highlight.
        EXPECT_TRUE(e.edit.GifNameBox->item(0)->isSelected());
        EXPECT_FALSE(e.edit.GifNameBox->item(1)->isSelected());
        EXPECT_TRUE(e.edit.GifNameBox->item(2)->isSelected());
        EXPECT_EQ(e.edit.GifNameBox->currentRow(), 0);
    }
    ASSERT_EQ(e.frames.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(e.frames[i]->DibHandle, before[i].DibHandle);
        EXPECT_EQ(e.frames[i]->Delay, before[i].Delay);
        EXPECT_EQ(e.frames[i]->Left, before[i].Left);
        EXPECT_NE(GlobalSize(e.frames[i]->DibHandle), 0u) << "still a live block";
    }
    e.edit.Play1->trigger(); // the editor goes while playing; the records stay (ASan)
}

TEST(EditorKeys, HelpAndWhatsThisFollowThePressedControl) {
    testsupport::widgetApp();
    SetHelpFile(std::string(ProgramFolder()) + "/zentrope.hlp");
    EditorOn e(2);
    e.edit.show();
    e.click(0);
    struct Row {
        QWidget* control;
        const char* page; // F1 opens it
        bool explained;   // what's-this has a text for it
    };
    for (const Row& row : {Row{e.edit.DelaySpin, "frameinfo.html", true},
                           Row{e.edit.NetLoopsSpin, "imageinfo.html", true},
                           Row{e.edit.trbGreen, "paletteinfo.html", false},
                           Row{e.edit.GifNameBox, "editor.html", false},
                           Row{e.edit.Dispos, "frameinfo.html", false}}) {
        SCOPED_TRACE(row.control->objectName().toStdString());
        // Presses reach the control's inner parts (a spin edit's field).
        QWidget* inner = row.control->findChild<QLineEdit*>();
        if (auto* list = qobject_cast<QListWidget*>(row.control)) inner = list->viewport();
        if (!inner) inner = row.control;
        inner->setFocus();
        Press(inner, QPoint(2, 2), Qt::RightButton);
        EXPECT_EQ(WhatsThisTarget, row.control)
            << (WhatsThisTarget ? WhatsThisTarget->objectName().toStdString() : "none");
        dialogtest::PressKey(inner, Qt::Key_F1);
        ASSERT_NE(HelpWindow(), nullptr);
        EXPECT_EQ(HelpWindow()->CurrentPage(), row.page);
        bool shown = false;
        if (row.explained)
            dialogtest::OnModal([&shown](QWidget* popup) {
                shown = qobject_cast<TWhatsThisForm*>(popup) != nullptr;
                popup->close();
            });
        e.edit.WhatsThis1->trigger();
        EXPECT_EQ(shown, row.explained);
    }
    // A right press only asks what's this: the caret and the panels stay.
    e.click(1);
    const QRect first = e.edit.GifNameBox->visualItemRect(e.edit.GifNameBox->item(0));
    Press(e.edit.GifNameBox->viewport(), first.center(), Qt::RightButton);
    EXPECT_EQ(e.edit.GifNameBox->currentRow(), 1);
    EXPECT_FALSE(e.edit.GifNameBox->item(0)->isSelected());
    // Escape does not close the editor; Ctrl+X cuts, "E&xit" has no key.
    dialogtest::PressKey(e.edit.GifNameBox, Qt::Key_Escape);
    EXPECT_TRUE(e.edit.isVisible());
    EXPECT_EQ(e.edit.Cut1->shortcut(), QKeySequence("Ctrl+X"));
    EXPECT_TRUE(e.edit.Exit1->shortcut().isEmpty());
}
