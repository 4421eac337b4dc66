// Menus, short cuts, tool-bar state, hints, the Jpeg settings and the help
// topics the window opens.
#include "MainFormFixtures.h"
#include "TestSupport.h"
#include "WidgetSupport.h"

#include "app/THelpWindow.h"
#include "app/TMainForm.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/still/TPMultiImage.h"

#include <QAction>
#include <QComboBox>
#include <QDropEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QSpinBox>
#include <QStatusTipEvent>
#include <QToolButton>
#include <gtest/gtest.h>
#include <set>

using namespace mainform;

namespace {

// Captions of a menu, separators as "-".
QStringList Items(const QMenu* menu) {
    QStringList items;
    for (const QAction* action : menu->actions())
        items << (action->isSeparator() ? QString("-") : action->text());
    return items;
}

void Press(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(widget, &release);
}

void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    WaitUntil([&] { return window.isActiveWindow(); }, 2000);
}

} // namespace

TEST(Menus, CaptionsShortCutsAndSeparators) {
    testsupport::widgetApp();
    TMainForm form;
    EXPECT_EQ(form.File1->title(), "&File");
    EXPECT_EQ(form.Help1->title(), "&Help");
    EXPECT_EQ(Items(form.File1), (QStringList{"&Open", "-", "&Manipulate Image", "&Edit Gifs", "-",
                                              "Show &Jpeg Settings", "-", "E&xit"}));
    EXPECT_EQ(Items(form.Help1), (QStringList{"Co&ntents", "Search for Help &On...",
                                              "&How to Use Help", "&About..."}));
    struct Row {
        QAction* action;
        QKeySequence keys;
        bool enabled;
    };
    const Row rows[] = {
        {form.Open1, QKeySequence("Ctrl+O"), true},
        {form.ManipulateImage1, QKeySequence("Ctrl+M"), true},
        {form.EditGifs1, QKeySequence("Ctrl+E"), true},
        {form.ShowJpegSettings1, QKeySequence("Ctrl+J"), true},
        {form.Exit1, QKeySequence("Ctrl+Del"), true},
        {form.Contents1, QKeySequence("F1"), true},
        {form.SearchforHelpOn1, QKeySequence(), true},
        {form.HowtoUseHelp1, QKeySequence("Ctrl+H"), true},
        {form.About1, QKeySequence("Ctrl+A"), true},
    };
    std::set<QString> used;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.action->text().toStdString());
        EXPECT_EQ(row.action->shortcut(), row.keys);
        EXPECT_EQ(row.action->isEnabled(), row.enabled);
        EXPECT_EQ(row.action->statusTip().contains(TMainForm::NotAvailableYet), !row.enabled);
        if (!row.keys.isEmpty()) {
            EXPECT_TRUE(used.insert(row.keys.toString()).second) << "short cut used twice";
        }
        EXPECT_TRUE(form.actions().contains(row.action)) << "the key works with menus closed";
    }
}

TEST(Menus, ToolBarStartsWithTheUnbuiltCommandsOff) {
    testsupport::widgetApp();
    TMainForm form;
    struct Row {
        QToolButton* button;
        const char* caption;
        bool enabled;
        const char* hint;
    };
    const Row rows[] = {
        {form.Editor, "Edit Gif", true, "Gif Editor (When not a Gif file it will be converted)"},
        {form.PlayGif, "Play Gif", false, "Play the current gif animation"},
        {form.Manipul, "Manipulate", true, "Manipulate"},
        {form.Abboutbox, "", true, "About Quillon"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.caption);
        EXPECT_EQ(row.button->text(), row.caption);
        EXPECT_EQ(row.button->isEnabled(), row.enabled);
        EXPECT_TRUE(row.button->toolTip().startsWith(row.hint))
            << row.button->toolTip().toStdString();
        EXPECT_EQ(row.button->toolTip().contains(TMainForm::NotAvailableYet),
                  !row.enabled && row.button != form.PlayGif);
    }
    EXPECT_TRUE(form.PlayGif->isCheckable());
    EXPECT_FALSE(form.PlayGif->isChecked());
    EXPECT_EQ(form.Panel2->height(), 29);
    EXPECT_FALSE(form.Panel3->isVisibleTo(&form));
    EXPECT_EQ(form.Smth->minimum(), 0);
    EXPECT_EQ(form.Smth->maximum(), 100);
    EXPECT_EQ(form.Smth->value(), 5);
    EXPECT_EQ(form.Qual->maximum(), 100);
    EXPECT_EQ(form.Qual->value(), 95);
    EXPECT_EQ(form.Smth->toolTip(), "Jpeg Save Smooth");
    EXPECT_EQ(form.Qual->toolTip(), "Jpeg Save Quality");
    // The components as the window sets them up.
    EXPECT_FALSE(form.MultiImage1->isVisibleTo(&form));
    EXPECT_TRUE(form.MultiImage1->AutoSize());
    EXPECT_EQ(form.MultiImage1->ScrollbarWidth(), 12);
    EXPECT_EQ(form.AniGifImage1->size(), QSize(40, 40));
    EXPECT_TRUE(form.AniGifImage1->AutoSize);
    EXPECT_EQ(form.AniGifImage1->JPegSaveQuality(), 25);
    EXPECT_EQ(form.AniGifImage1->JPegSaveSmooth(), 5);
    EXPECT_FALSE(form.AniGifImage1->UseScrollBars());
    EXPECT_EQ(form.windowTitle(), "Main Window");
}

TEST(Menus, JpegSettingsToggleThePanelAndTheCaption) {
    testsupport::widgetApp();
    TMainForm form;
    ShowActive(form);
    form.ShowJpegSettings1->trigger();
    EXPECT_TRUE(form.Panel3->isVisible());
    EXPECT_EQ(form.ShowJpegSettings1->text(), "Hide Jpeg Settings");
    Press(&form, Qt::Key_J, Qt::ControlModifier); // the short cut does the same
    EXPECT_FALSE(form.Panel3->isVisible());
    EXPECT_EQ(form.ShowJpegSettings1->text(), "Show Jpeg Settings");
}

TEST(Menus, HintsGoToTheSecondStatusPanel) {
    testsupport::widgetApp();
    TMainForm form;
    QStatusTipEvent tip(form.PlayGif->statusTip());
    QCoreApplication::sendEvent(form.PlayGif, &tip);
    EXPECT_EQ(form.StatusPanel1->text(), "Play the current gif animation");
    EXPECT_TRUE(form.StatusPanel0->text().isEmpty());
    EXPECT_EQ(form.StatusPanel0->width(), 50);
}

TEST(Menus, HelpKeysOpenTheirTopics) {
    testsupport::widgetApp();
    const CaughtMessages messages;
    TMainForm form;
    ShowActive(form);
    THelpWindow* help = nullptr;
    const auto pageShown = [&] { return (help = HelpWindow()) ? help->CurrentPage() : ""; };
    const auto pageOf = [&](const char* topic) { return HelpWindow()->PageOfTopic(topic); };

    form.FileListBox1->setFocus();
    Press(form.FileListBox1, Qt::Key_F1);
    ASSERT_NE(HelpWindow(), nullptr);
    EXPECT_EQ(pageShown(), pageOf("_WEB__Edit_MMain"));
    EXPECT_FALSE(pageOf("_WEB__Edit_MMain").empty());

    form.Contents1->trigger();
    EXPECT_EQ(pageShown(), pageOf("Help_system"));

    form.DirectoryListBox1->setFocus();
    Press(form.DirectoryListBox1, Qt::Key_F1);
    EXPECT_EQ(pageShown(), pageOf("_WEB__Edit_MMain"));

    // F1 elsewhere is the menu's: the contents.
    form.ComboBox1->setFocus();
    Press(form.ComboBox1, Qt::Key_F1);
    EXPECT_EQ(pageShown(), pageOf("Help_system"));
    EXPECT_TRUE(messages.texts.empty()) << messages.texts.front();
    HelpWindow()->close();
}

// A menu short cut wins over an edit's own use of the key (Ctrl+Del deletes
// a word in an edit; here it closes the window).
TEST(Menus, ShortCutsWinOverTheEditsKeys) {
    testsupport::widgetApp();
    TMainForm form;
    ShowActive(form);
    form.ShowJpegSettings1->trigger();
    form.Qual->setFocus();
    WaitUntil([&] { return form.Qual->hasFocus(); }, 2000);
    ASSERT_TRUE(form.Qual->hasFocus());
    Press(form.Qual, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_FALSE(form.isVisible());
}

// Both components accept a drag (the cursor shows it) but refuse the drop,
// so a source offering a move keeps what was dragged.
TEST(Menus, DropsOnThePreviewDoNothing) {
    testsupport::widgetApp();
    TMainForm form;
    ShowActive(form);
    QMimeData data;
    data.setText("dragged");
    for (QWidget* target :
         {static_cast<QWidget*>(form.MultiImage1), static_cast<QWidget*>(form.AniGifImage1)}) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::MoveAction | Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::MoveAction | Qt::CopyAction, &data, Qt::LeftButton,
                        Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        EXPECT_FALSE(drop.isAccepted());
    }
}
