#include "editor/TGifEdit.h"

#include "app/SharedForms.h"
#include "app/TAboutBox.h"
#include "app/THelpWindow.h"
#include "app/TMSOfficeCaption.h"
#include "app/TWhatsThisForm.h"
#include "editor/TPaintBox.h"
#include "editor/commands/TEditHistory.h"
#include "imaging/animated/PVWebImage.h"
#include "manipulation/TStretchHandle.h"
#include "platform/Gdi.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kToolBarHeight = 29;
constexpr int kStatusBarHeight = 19;
constexpr int kStatusWidths[3] = {150, 110, 50};
const char* const kWindowTopic = "Open_Edit_Gif_";

QAction* AddItem(QMenu* menu, const QString& caption, int key) {
    QAction* action = menu->addAction(caption);
    if (key) action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key(key)));
    return action;
}

} // namespace

const QString TGifEdit::NotAvailableYet = "not available yet";

TGifEdit::TGifEdit(QWidget* parent) : QDialog(parent), FPanel5Color(clBtnFace) {
    setObjectName("GifEdit");
    setWindowTitle("Animated Gif Editor");
    // The window's fixed geometry was laid out for a small dialog font.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    CreateMenus();
    layout->setMenuBar(MainMenu1);
    CreateToolBar();
    layout->addWidget(ToolBar);
    ClientPanel = new QWidget(this);
    ClientPanel->setObjectName("ClientPanel");
    layout->addWidget(ClientPanel, 1);
    ClientPanel->installEventFilter(this);

    CreateFrameList();
    CreatePreview();
    CreateCommentsView();
    CreateImageInfo();
    CreateFrameInfo();
    CreatePaletteInfo();
    CreateStatusBar();
    Timer1 = new QTimer(this);
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(PVWebImage::HostStepInterval);
    connect(Timer1, &QTimer::timeout, this, &TGifEdit::Timer1Timer);

    MSOfficeCaption1 = new TMSOfficeCaption(this);
    MSOfficeCaption1->CompanyText().SetCaption("Quillon -");
    MSOfficeCaption1->CompanyText().SetFontKind(fkSystemBI);
    MSOfficeCaption1->AppNameText().SetCaption("Zentrope -");
    MSOfficeCaption1->AppNameText().SetFontKind(fkSystemB);
    MSOfficeCaption1->CaptionText().SetFontKind(fkSystem);

    // Creation steps: grid cells, an empty working picture, the colour
    // labels filled once.
    FCellWidth = pbPalette->width() / 16;
    FCellHeight = pbPalette->height() / 16;
    FPaletteIndex = 0;
    FWorkDib = std::make_unique<PVWebImg::PVTDib>();
    ColorChanged();
    FCommentModified = false;

    ConnectCommands();
    ConnectPanels();
    ConnectAddingFrames();
    CreateHistory();
    ConnectFrameDragging();
    ConnectScanning();
    // Every control reports presses (what's-this target) and F1.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    resize(ClientWidth, ClientHeight);
    SetFrameControlsEnabled(false);
}

TGifEdit::~TGifEdit() {
    Timer1->stop();
    FreeTempImage();
    // The history ends with the window; its steps free the frames they own.
    delete std::exchange(FHistory, nullptr);
    // The records belong to the main window's component; only the working
    // picture is ours.
    FWorkDib.reset();
}

QToolButton* TGifEdit::MakeButton(QWidget* parent, const QString& caption, int glyph,
                                  const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setText(caption);
    button->setIcon(style()->standardIcon(QStyle::StandardPixmap(glyph)));
    button->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly
                                                 : Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setIconSize(QSize(16, 16));
    button->setFixedHeight(kToolBarHeight - 4);
    if (caption.isEmpty()) button->setFixedWidth(kToolBarHeight - 7);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    return button;
}

void TGifEdit::NotYet(QWidget* control) {
    FUnavailable.insert(control);
    control->setEnabled(false);
    const QString hint = control->toolTip().isEmpty()
                             ? NotAvailableYet
                             : control->toolTip().trimmed() + " - " + NotAvailableYet;
    control->setToolTip(hint);
    control->setStatusTip(hint);
}

void TGifEdit::NotYet(QAction* action) {
    FUnavailable.insert(action);
    action->setEnabled(false);
    const QString hint = QString(action->text()).remove('&') + " - " + NotAvailableYet;
    action->setToolTip(hint);
    action->setStatusTip(hint);
}

void TGifEdit::CreateToolBar() {
    ToolBar = new QFrame(this);
    ToolBar->setObjectName("ToolBar");
    ToolBar->setFrameShape(QFrame::StyledPanel);
    ToolBar->setFixedHeight(kToolBarHeight);
    auto* row = new QHBoxLayout(ToolBar);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(0);
    auto add = [&](QToolButton*& button, const char* name, const QString& caption, int glyph,
                   const QString& hint) {
        button = MakeButton(ToolBar, caption, glyph, hint);
        button->setObjectName(name);
        row->addWidget(button);
    };
    add(Load_Image, "Load_Image", "", QStyle::SP_DialogOpenButton,
        "Insert New Frame(s) from File ");
    add(SaveBtn, "SaveBtn", "", QStyle::SP_DialogSaveButton, "Save frames to an animated gif file");
    add(ClipCopy, "ClipCopy", "", QStyle::SP_FileDialogContentsView, "Copy to the clipboard");
    add(ClipPaste, "ClipPaste", "", QStyle::SP_FileDialogNewFolder, "Paste from the clipboard");
    add(UndoBtn, "UndoBtn", "", QStyle::SP_ArrowBack, "Undo the last change");
    add(RedoBtn, "RedoBtn", "", QStyle::SP_ArrowForward, "Redo the change undone last");
    add(SelectSourceBtn, "SelectSourceBtn", "", QStyle::SP_DriveHDIcon,
        "Select a Twain Aquire Source");
    add(ScanImagesBtn, "ScanImagesBtn", "", QStyle::SP_DriveCDIcon,
        "Aquire a single Image from the twain source");
    add(MakeGifsequencefromavideo, "MakeGifsequencefromavideo", "Video",
        QStyle::SP_MediaSeekForward, "Make Gif sequence from an AVI video file");
    add(MakeGifsequencefromaLivevideoClick, "MakeGifsequencefromaLivevideoClick", "Video",
        QStyle::SP_MediaVolume, "Make Gif sequence from live video");
    add(Resize_Image, "Resize_Image", "", QStyle::SP_TitleBarMaxButton,
        "Resize the selected frames");
    add(CropImage, "CropImage", "", QStyle::SP_TitleBarNormalButton, "Crop the selected frames");
    add(RotateFrame, "RotateFrame", "", QStyle::SP_BrowserReload, "Rotate Frame");
    add(TextOnImage, "TextOnImage", "", QStyle::SP_FileDialogDetailedView,
        "Write text on top of selected frames");
    add(OptPalettes, "OptPalettes", "", QStyle::SP_DesktopIcon, "Color Palette Management Options");
    add(ApplyFrms, "ApplyFrms", "", QStyle::SP_DialogApplyButton,
        "Select frames and Apply settings.");
    add(ToggleComments, "ToggleComments", "", QStyle::SP_FileDialogInfoView,
        "Toggle between comments and frame editor");
    ToggleComments->setCheckable(true);
    add(Manipul, "Manipul", "Manipulate", QStyle::SP_FileDialogListView, "Manipulate");
    add(PlayGif, "PlayGif", "Play", QStyle::SP_MediaPlay, "Play the current gif animation");
    PlayGif->setCheckable(true);
    add(Abboutbox, "Abboutbox", "", QStyle::SP_MessageBoxInformation, "About Quillon");
    row->addStretch(1);
    add(CloseWindow, "CloseWindow", "", QStyle::SP_DialogCloseButton, "Exit");
}

void TGifEdit::CreateMenus() {
    MainMenu1 = new QMenuBar(this);
    File1 = MainMenu1->addMenu("&File");
    New1 = AddItem(File1, "&New", Qt::Key_N);
    Open1 = AddItem(File1, "&Open...", Qt::Key_O);
    Save1 = AddItem(File1, "&Save", Qt::Key_S);
    Play1 = AddItem(File1, "&Play", Qt::Key_P);
    Play1->setCheckable(true);
    Comments1 = AddItem(File1, "Co&mments", Qt::Key_M);
    Comments1->setCheckable(true);
    File1->addSeparator();
    SelectTwainSource1 = AddItem(File1, "S&elect Twain Source", Qt::Key_E);
    AcquireImage1 = AddItem(File1, "&Acquire Image", Qt::Key_A);
    File1->addSeparator();
    InsertFramesfromAVI1 = AddItem(File1, "&Insert Frames from AVI", Qt::Key_I);
    InsertFramesfromLiveVideo1 = AddItem(File1, "Insert &Frames from Live Video", Qt::Key_F);
    File1->addSeparator();
    // Ctrl+X cuts, as everywhere else; closing keeps its caption only.
    Exit1 = AddItem(File1, "E&xit", 0);

    Edit1 = MainMenu1->addMenu("&Edit");
    Undo1 = AddItem(Edit1, "&Undo", Qt::Key_Z);
    Redo1 = AddItem(Edit1, "&Redo", Qt::Key_Y);
    Redo1->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    Edit1->addSeparator();
    Cut1 = AddItem(Edit1, "Cu&t", Qt::Key_X);
    Copy1 = AddItem(Edit1, "&Copy", Qt::Key_C);
    Paste1 = AddItem(Edit1, "&Paste", Qt::Key_V);

    Help1 = MainMenu1->addMenu("&Help");
    Contents1 = AddItem(Help1, "&Contents", 0);
    SearchforHelpOn1 = AddItem(Help1, "&Search for Help On...", 0);
    HowtoUseHelp1 = AddItem(Help1, "&How to Use Help", 0);
    Help1->addSeparator();
    About1 = AddItem(Help1, "&About...", 0);

    // Short cuts work while the menus are closed.
    addActions(File1->actions());
    addActions(Edit1->actions());
    addActions(Help1->actions());

    Pop = new QMenu(this);
    WhatsThis1 = Pop->addAction("&Whats This?");
}

void TGifEdit::CreateFrameList() {
    GifNameBox = new QListWidget(ClientPanel);
    GifNameBox->setObjectName("GifNameBox");
    GifNameBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    GifNameBox->setGeometry(6, 5, 151, 189);
    // Thousands of names: uniform rows keep filling and scrolling cheap.
    GifNameBox->setUniformItemSizes(true);
    CommentNameBox = new QListWidget(ClientPanel);
    CommentNameBox->setObjectName("CommentNameBox");
    CommentNameBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    CommentNameBox->setGeometry(6, 5, 151, 189);
    CommentNameBox->hide();

    auto side = [this](QToolButton*& button, const char* name, int y, int glyph,
                       const QString& hint) {
        button = MakeButton(ClientPanel, "", glyph, hint);
        button->setObjectName(name);
        button->setFixedSize(37, 37);
        button->move(161, y);
        button->setIconSize(QSize(24, 24));
    };
    side(MoveUp, "MoveUp", 7, QStyle::SP_ArrowUp, "Move one selected frame up");
    side(SelectAll, "SelectAll", 60, QStyle::SP_DialogYesButton, "Select All");
    side(DeleteSelectedframes, "DeleteSelectedframes", 113, QStyle::SP_TrashIcon,
         "Delete Selected frames");
    side(MoveDown, "MoveDown", 163, QStyle::SP_ArrowDown, "Move one selected frame down");
}

void TGifEdit::CreatePreview() {
    ScrollBox1 = new QScrollArea(ClientPanel);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setGeometry(205, 1, 405, 187);
    ScrollBox1->setWidgetResizable(false);
    PreviewHolder = new QWidget;
    PreviewHolder->setObjectName("PreviewHolder");
    PreviewHolder->resize(1, 1);
    PaintBox1 = new TPaintBox(PreviewHolder);
    PaintBox1->setObjectName("PaintBox1");
    PaintBox1->setGeometry(0, 0, 1, 1);
    TextLabel = new QLabel("Text on Image", PreviewHolder);
    TextLabel->setObjectName("TextLabel");
    // The text sits where it is burnt: at the label's top left.
    TextLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    TextLabel->setToolTip("Double click to select. Right click for options");
    TextLabel->setStatusTip(TextLabel->toolTip());
    TextLabel->adjustSize();
    TextLabel->hide();
    FStretchHandle = new TStretchHandle(PreviewHolder);
    FStretchHandle->setObjectName("FStretchHandle");
    FStretchHandle->OnMouseDown = [this](Qt::MouseButton button, QPoint) {
        if (button == Qt::RightButton) TextOptionsClick();
    };
    ScrollBox1->setWidget(PreviewHolder);
}

void TGifEdit::CreateCommentsView() {
    Panel7 = new QFrame(ClientPanel);
    Panel7->setObjectName("Panel7");
    Panel7->setFrameShape(QFrame::StyledPanel);
    Panel7->setGeometry(205, 1, 405, kToolBarHeight);
    auto* row = new QHBoxLayout(Panel7);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(1);
    auto add = [&](QToolButton*& button, const char* name, int glyph, const QString& hint) {
        button = MakeButton(Panel7, "", glyph, hint);
        button->setObjectName(name);
        row->addWidget(button);
    };
    add(cNew, "cNew", QStyle::SP_FileIcon, "Create a New Comment");
    add(cSave, "cSave", QStyle::SP_DialogSaveButton, "Save Current Comment");
    add(cDelete, "cDelete", QStyle::SP_TrashIcon, "Delete comment");
    add(cLoadFromFile, "cLoadFromFile", QStyle::SP_DialogOpenButton,
        "Load comment from a text file");
    add(cSaveToFile, "cSaveToFile", QStyle::SP_DriveFDIcon, "Save comment to a text file");
    add(cPrint, "cPrint", QStyle::SP_ComputerIcon, "Print current comment");
    add(cCopy, "cCopy", QStyle::SP_FileDialogContentsView,
        "Copy selected text of the comment to the clipboard");
    add(cCut, "cCut", QStyle::SP_DialogDiscardButton, "Cut selected text of the comment");
    add(cPaste, "cPaste", QStyle::SP_FileDialogNewFolder, "Paste comment from the clipboard");
    row->addStretch(1);
    Panel7->hide();

    ComMem = new QPlainTextEdit(ClientPanel);
    ComMem->setObjectName("ComMem");
    ComMem->setGeometry(205, 1 + kToolBarHeight, 405, 187 - kToolBarHeight);
    ComMem->setLineWrapMode(QPlainTextEdit::NoWrap);
    ComMem->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ComMem->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ComMem->setTabChangesFocus(false);
    ComMem->setPlainText("Gif Comment ");
    ComMem->setEnabled(false);
    ComMem->hide();
    for (QToolButton* b : {cSave, cDelete, cLoadFromFile, cSaveToFile, cPrint, cCopy, cCut, cPaste})
        b->setEnabled(false);
}

void TGifEdit::CreateStatusBar() {
    Panel3 = new QStatusBar(ClientPanel);
    Panel3->setObjectName("Panel3");
    Panel3->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(Panel3);
        StatusPanels[i]->setMinimumWidth(kStatusWidths[i]);
        Panel3->addWidget(StatusPanels[i], i == 2 ? 1 : 0);
    }
    PBar = new QProgressBar(ClientPanel);
    PBar->setObjectName("PBar");
    PBar->setRange(0, 100);
    PBar->setValue(0);
    PBar->setTextVisible(false);
    PBar->resize(150, kStatusBarHeight - 4);
}

void TGifEdit::ConnectCommands() {
    connect(CloseWindow, &QToolButton::clicked, this, [this] { done(QDialog::Accepted); });
    connect(Exit1, &QAction::triggered, this, [this] { done(QDialog::Accepted); });
    connect(SaveBtn, &QToolButton::clicked, this, &TGifEdit::SaveBtnClick);
    connect(Save1, &QAction::triggered, this, &TGifEdit::SaveBtnClick);
    connect(PlayGif, &QToolButton::clicked, this, [this] { PlayGifClick(false); });
    connect(Play1, &QAction::triggered, this, [this] { PlayGifClick(true); });
    connect(ToggleComments, &QToolButton::clicked, this, [this] { ToggleCommentsClick(false); });
    connect(Comments1, &QAction::triggered, this, [this] { ToggleCommentsClick(true); });
    connect(Abboutbox, &QToolButton::clicked, this, [this] { TAboutBox::ShowAbout(this); });
    connect(About1, &QAction::triggered, this, [this] { TAboutBox::ShowAbout(this); });
    connect(Contents1, &QAction::triggered, this, [] { HelpJump("Help_system"); });
    connect(SearchforHelpOn1, &QAction::triggered, this, [] { HelpCommand(HELP_PARTIALKEY, ""); });
    connect(HowtoUseHelp1, &QAction::triggered, this, [] { HelpCommand(HELP_HELPONHELP); });
    connect(WhatsThis1, &QAction::triggered, this, &TGifEdit::WhatsThisClick);

    connect(GifNameBox, &QListWidget::clicked, this, [this] { LoadFrameIntoPanels(); });
    connect(SelectAll, &QToolButton::clicked, this, &TGifEdit::SelectAllClick);
    connect(MoveUp, &QToolButton::clicked, this, &TGifEdit::MoveUpClick);
    connect(MoveDown, &QToolButton::clicked, this, &TGifEdit::MoveDownClick);
    connect(DeleteSelectedframes, &QToolButton::clicked, this,
            &TGifEdit::DeleteSelectedframesClick);
    connect(OptPalettes, &QToolButton::clicked, this, &TGifEdit::OptPalettesClick);
    connect(ClipCopy, &QToolButton::clicked, this, &TGifEdit::ClipCopyClick);
    connect(Copy1, &QAction::triggered, this, &TGifEdit::ClipCopyClick);
    connect(Cut1, &QAction::triggered, this, &TGifEdit::CutClick);
    connect(ApplyFrms, &QToolButton::clicked, this, &TGifEdit::ApplyFrmsClick);
    connect(Resize_Image, &QToolButton::clicked, this, &TGifEdit::Resize_ImageClick);
    connect(CropImage, &QToolButton::clicked, this, &TGifEdit::CropImageClick);
    connect(RotateFrame, &QToolButton::clicked, this, &TGifEdit::RotateFrameClick);
    connect(Manipul, &QToolButton::clicked, this, &TGifEdit::ManipulClick);
    connect(TextOnImage, &QToolButton::clicked, this, &TGifEdit::TextOnImageClick);

    connect(CommentNameBox, &QListWidget::clicked, this, &TGifEdit::CommentNameBoxClick);
    connect(cNew, &QToolButton::clicked, this, &TGifEdit::cNewClick);
    connect(cSave, &QToolButton::clicked, this, &TGifEdit::cSaveClick);
    connect(cDelete, &QToolButton::clicked, this, &TGifEdit::cDeleteClick);
    connect(cLoadFromFile, &QToolButton::clicked, this, &TGifEdit::cLoadFromFileClick);
    connect(cSaveToFile, &QToolButton::clicked, this, &TGifEdit::cSaveToFileClick);
    connect(cPrint, &QToolButton::clicked, this, &TGifEdit::cPrintClick);
    connect(cCopy, &QToolButton::clicked, ComMem, &QPlainTextEdit::copy);
    connect(cCut, &QToolButton::clicked, ComMem, &QPlainTextEdit::cut);
    connect(cPaste, &QToolButton::clicked, ComMem, &QPlainTextEdit::paste);
    connect(ComMem, &QPlainTextEdit::textChanged, this, &TGifEdit::ComMemChanged);

    // The what's-this popup sits on the property controls and the frame list.
    for (QWidget* w : std::initializer_list<QWidget*>{
             GifNameBox, LeftEdit, TopEdit, DelaySpin, ScreenWidthEdit, ScreenHeightEdit,
             NetLoopsSpin, Frames, Dispos, InterlacedBox, HasTransparency, Usesitsownpalette}) {
        if (!w) continue;
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        // Spin edits' own edit fields would show their menu instead.
        for (QLineEdit* inner : w->findChildren<QLineEdit*>())
            inner->setContextMenuPolicy(Qt::NoContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this,
                [this, w](QPoint at) { Pop->exec(w->mapToGlobal(at)); });
    }
}

// The panel below the tool bar: the info boxes keep to its bottom, above
// the status bar, but never start above MinInfoTop.
void TGifEdit::FormResize() {
    const int w = ClientPanel->width();
    const int h = ClientPanel->height();
    Panel3->setGeometry(0, h - kStatusBarHeight, w, kStatusBarHeight);
    for (QGroupBox* box : {ImageInfo, FrameInfo, PaletteInfo})
        box->move(box->x(), h - kStatusBarHeight - box->height());
    int listHeight = h - kStatusBarHeight - PaletteInfo->height() - 14;
    if (ImageInfo->y() < MinInfoTop) {
        for (QGroupBox* box : {ImageInfo, FrameInfo, PaletteInfo})
            box->move(box->x(), MinInfoTop);
        listHeight = 185;
    }
    ScrollBox1->resize(std::max(1, w - ScrollBox1->x() - 1), listHeight);
    GifNameBox->resize(GifNameBox->width(), listHeight);
    CommentNameBox->resize(CommentNameBox->width(), listHeight);
    Panel7->resize(ScrollBox1->width(), Panel7->height());
    ComMem->setGeometry(ScrollBox1->x(), Panel7->y() + Panel7->height(), ScrollBox1->width(),
                        std::max(1, listHeight - Panel7->height()));
    PBar->move(std::max(0, w - PBar->width() - 2), Panel3->y() + 2);
    PBar->raise();
}

QString TGifEdit::HelpTopicFor(const QWidget* control) const {
    for (const QWidget* w = control; w && w != this; w = w->parentWidget()) {
        const QString name = w->objectName();
        if (name == "LeftEdit" || name == "TopEdit" || name == "InterlacedBox" ||
            name == "DelaySpin" || name == "Dispos" || name == "HasTransparency")
            return "Frame_Info";
        if (name == "trbRed" || name == "trbGreen" || name == "trbBlue" || name == "AAPl")
            return "Palette_Info";
        if (name == "ScreenWidthEdit" || name == "ScreenHeightEdit" || name == "NetLoopsSpin" ||
            name == "Frames")
            return "Image_Info";
    }
    return kWindowTopic;
}

void TGifEdit::WhatsThisClick() {
    if (WhatsThisTarget) ShowWhatsThis(WhatsThisTextFor(WhatsThisTarget->objectName()));
}

bool TGifEdit::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        StatusPanels[2]->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QDialog::event(event);
}

bool TGifEdit::eventFilter(QObject* watched, QEvent* event) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (GifNameBox && watched == GifNameBox->viewport() && FrameListDrag(event)) return true;
    switch (event->type()) {
    case QEvent::Resize:
        if (watched == ClientPanel) FormResize();
        break;
    case QEvent::MouseButtonPress:
        // The control (not its inner parts) becomes the what's-this target.
        // A press a child leaves unhandled goes on to its parents; only the
        // widget it landed on counts.
        if (!WhatsThisShowing && widget && widget->window() == this &&
            !widget->childAt(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            QWidget* target = widget;
            while (target && target->objectName().isEmpty() && target->parentWidget() != this)
                target = target->parentWidget();
            if (target && target->objectName().startsWith("qt_")) target = target->parentWidget();
            WhatsThisTarget = target;
        }
        if (watched == TextLabel && static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            TextOptionsClick();
            return true;
        }
        // A right press in a list would move its caret and selection
        // without the click that shows the entry: it only asks what's this.
        if ((watched == GifNameBox->viewport() || watched == CommentNameBox->viewport()) &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton)
            return true;
        break;
    case QEvent::MouseButtonDblClick:
        if (watched == TextLabel) {
            TextLabelDblClick();
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (watched == GifNameBox->viewport()) UpdateMoveButtons();
        break;
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            event->accept();
            if (event->type() == QEvent::KeyPress) HelpJump(HelpTopicFor(widget).toStdString());
            return true;
        }
        if (watched == GifNameBox && key->key() == Qt::Key_Delete &&
            event->type() == QEvent::KeyPress) {
            DeleteSelectedframesClick();
            return true;
        }
        break;
    }
    case QEvent::KeyRelease:
        if (watched == GifNameBox) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            // Moving the caret with the keys is a click on the new entry.
            if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
                key == Qt::Key_PageDown || key == Qt::Key_Home || key == Qt::Key_End)
                LoadFrameIntoPanels();
            UpdateMoveButtons();
        }
        break;
    default:
        break;
    }
    return QDialog::eventFilter(watched, event);
}

void TGifEdit::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!FShownOnce) CenterOnScreen(this);
    FShownOnce = true;
    FormResize();
    GifNameBox->setFocus();
}

// Only the close button and "E&xit" end the editor; Escape would drop an
// unstored comment and stop playback without a word.
void TGifEdit::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TGifEdit::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    PaintBox1->update();
}
