// The main window's menus, tool-bar commands and caption painter. The
// painter's header and the still-image component's both define bsNone, so
// this file must not include the latter.
#include "app/TAboutBox.h"
#include "app/THelpWindow.h"
#include "app/TMSOfficeCaption.h"
#include "app/TMainForm.h"
#include "imaging/animated/PVWebImage.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QSpinBox>

namespace {

QAction* AddItem(QMenu* menu, const QString& caption, const QKeySequence& shortCut) {
    QAction* action = menu->addAction(caption);
    action->setShortcut(shortCut);
    return action;
}

} // namespace

void TMainForm::CreateMenus() {
    MainMenu1 = new QMenuBar(this);
    layout()->setMenuBar(MainMenu1);

    File1 = MainMenu1->addMenu("&File");
    Open1 = AddItem(File1, "&Open", QKeySequence(Qt::CTRL | Qt::Key_O));
    File1->addSeparator();
    ManipulateImage1 = AddItem(File1, "&Manipulate Image", QKeySequence(Qt::CTRL | Qt::Key_M));
    EditGifs1 = AddItem(File1, "&Edit Gifs", QKeySequence(Qt::CTRL | Qt::Key_E));
    File1->addSeparator();
    ShowJpegSettings1 = AddItem(File1, "Show &Jpeg Settings", QKeySequence(Qt::CTRL | Qt::Key_J));
    File1->addSeparator();
    Exit1 = AddItem(File1, "E&xit", QKeySequence(Qt::CTRL | Qt::Key_Delete));
    connect(Open1, &QAction::triggered, this, &TMainForm::Open1Click);
    connect(ManipulateImage1, &QAction::triggered, this, &TMainForm::ManipulClick);
    connect(EditGifs1, &QAction::triggered, this, &TMainForm::EditorClick);
    connect(ShowJpegSettings1, &QAction::triggered, this, &TMainForm::ShowJpegSettings1Click);
    connect(Exit1, &QAction::triggered, this, &QWidget::close);

    Help1 = MainMenu1->addMenu("&Help");
    Contents1 = AddItem(Help1, "Co&ntents", QKeySequence(Qt::Key_F1));
    // No short cut: Ctrl+O belongs to "&Open"; two commands on one key
    // would leave the key doing neither.
    SearchforHelpOn1 = AddItem(Help1, "Search for Help &On...", QKeySequence());
    HowtoUseHelp1 = AddItem(Help1, "&How to Use Help", QKeySequence(Qt::CTRL | Qt::Key_H));
    About1 = AddItem(Help1, "&About...", QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(Contents1, &QAction::triggered, this, [] { HelpJump("Help_system"); });
    connect(SearchforHelpOn1, &QAction::triggered, this, [] { HelpCommand(HELP_PARTIALKEY, ""); });
    connect(HowtoUseHelp1, &QAction::triggered, this, [] { HelpCommand(HELP_HELPONHELP); });
    connect(About1, &QAction::triggered, this, &TMainForm::AboutClick);

    // Short cuts work while the menus are closed: the actions belong to the
    // window as well as to their menus.
    addActions(File1->actions());
    addActions(Help1->actions());
    // Menu short cuts come before an edit's own keys (Ctrl+A would select
    // all, Ctrl+Del delete a word): the edits let them through.
    for (QWidget* edit : {static_cast<QWidget*>(ComboBox1), static_cast<QWidget*>(Smth),
                          static_cast<QWidget*>(Qual)})
        edit->installEventFilter(this);
    if (ComboBox1->lineEdit()) ComboBox1->lineEdit()->installEventFilter(this);
}

bool TMainForm::IsMenuShortCut(const QKeyEvent& key) const {
    const QKeySequence pressed(key.keyCombination());
    for (const QMenu* menu : {File1, Help1})
        for (const QAction* action : menu->actions())
            if (!action->shortcut().isEmpty() && action->shortcut() == pressed) return true;
    return false;
}

// Down: play from the start (the frame past the last makes the next step
// show frame 0). Up: stop.
void TMainForm::PlayGifClick(bool down) {
    if (down) {
        AniGifImage1->CurrentFrame = 100000;
        AniGifImage1->Play();
        ScrollBox1->setFocus();
    } else {
        AniGifImage1->Stop();
    }
}

void TMainForm::ShowJpegSettings1Click() {
    Panel3->setVisible(!Panel3->isVisibleTo(Panel2));
    ShowJpegSettings1->setText(Panel3->isVisibleTo(Panel2) ? "Hide Jpeg Settings"
                                                           : "Show Jpeg Settings");
}

void TMainForm::AboutClick() {
    TAboutBox::ShowAbout(this);
}

TMSOfficeCaption* TMainForm::AttachMainCaption(QWidget* window) {
    auto* caption = new TMSOfficeCaption(window);
    // The main window's texts go without the dashes the other windows use.
    caption->CompanyText().SetCaption("Quillon");
    caption->CompanyText().SetFontKind(fkSystemBI);
    caption->AppNameText().SetCaption("Zentrope");
    caption->AppNameText().SetFontKind(fkSystemB);
    caption->CaptionText().SetFontKind(fkSystem); // the window's title, "Main Window"
    return caption;
}
