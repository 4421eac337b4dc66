#include "app/TMainForm.h"

#include "app/Startup.h"
#include "app/THelpWindow.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/still/TPMultiImage.h"
#include "platform/Gdi.h"
#include "platform/Module.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragMoveEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QScrollArea>
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
constexpr int kColumnWidth = 140;
constexpr int kStatusBarHeight = 20;
constexpr int kStatusPanelWidth = 50;
constexpr int kProgressWidth = 150;
constexpr int kHelpKey = Qt::Key_F1;
const char* const kBrowserTopic = "_WEB__Edit_MMain";

QToolButton* MakeSpeedButton(QWidget* parent, const QString& caption, QStyle::StandardPixmap glyph,
                             const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setText(caption);
    button->setIcon(parent->style()->standardIcon(glyph));
    button->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly
                                                 : Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setFixedHeight(kToolBarHeight - 4);
    button->setToolTip(hint);
    button->setStatusTip(hint);
    return button;
}

} // namespace

const QString TMainForm::InitialMask =
    "*.gif;*.jpg;*.pcx;*.bmp;*.wmf;*.ico;*.scm;*.png;*.cms;*.tif;*.pcd;*.dxf;*.tga;*.eps";
const QStringList TMainForm::FilterItems = {
    "*.JPG;*.GIF;*.PCX;*.BMP;*.PNG;*.TIF", "*.JPG", "*.GIF", "*.PCX", "*.BMP", "*.PNG", "*.TIF"};
const QString TMainForm::NotAvailableYet = "not available yet";

TMainForm::TMainForm(QWidget* parent) : QWidget(parent), FFileMask(InitialMask) {
    setWindowTitle("Main Window");
    setMinimumSize(420, 300);
    setAcceptDrops(true);
    CreateControls();
    CreateMenus();
    MSOfficeCaption1 = AttachMainCaption(this);
    resize(800, 560);
    FormCreate();
}

TMainForm::~TMainForm() {
    Timer1->stop();
}

void TMainForm::CreateControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    ClientArea = new QWidget(this);
    layout->addWidget(ClientArea, 1);
    ClientArea->installEventFilter(this);

    CreateToolBar();
    Panel1 = new QFrame(ClientArea);
    CreateBrowser();
    CreatePreview();
    CreateStatusBar();

    // The playback clock: always running; the component decides whether a
    // tick shows a frame.
    Timer1 = new QTimer(this);
    // Steps often enough that each frame stays for its own delay.
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(PVWebImage::HostStepInterval);
    connect(Timer1, &QTimer::timeout, this, [this] { AniGifImage1->StepFrame(); });
    Timer1->start();
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { FClosing = true; });
}

void TMainForm::CreateToolBar() {
    Panel2 = new QFrame(ClientArea);
    Panel2->setFrameShape(QFrame::StyledPanel);
    Panel2->setFixedHeight(kToolBarHeight);
    auto* row = new QHBoxLayout(Panel2);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(2);

    Editor = MakeSpeedButton(Panel2, "Edit Gif", QStyle::SP_FileDialogDetailedView,
                             "Gif Editor (When not a Gif file it will be converted)");
    PlayGif =
        MakeSpeedButton(Panel2, "Play Gif", QStyle::SP_MediaPlay, "Play the current gif animation");
    PlayGif->setCheckable(true);
    Manipul = MakeSpeedButton(Panel2, "Manipulate", QStyle::SP_BrowserReload, "Manipulate");
    Abboutbox = MakeSpeedButton(Panel2, "", QStyle::SP_MessageBoxInformation, "About Quillon");
    CloseWindow = MakeSpeedButton(Panel2, "", QStyle::SP_DialogCloseButton, "Exit");
    PlayGif->setEnabled(false);
    connect(Editor, &QToolButton::clicked, this, &TMainForm::EditorClick);
    connect(Manipul, &QToolButton::clicked, this, &TMainForm::ManipulClick);
    connect(PlayGif, &QToolButton::clicked, this, &TMainForm::PlayGifClick);
    connect(Abboutbox, &QToolButton::clicked, this, &TMainForm::AboutClick);
    connect(CloseWindow, &QToolButton::clicked, this, &QWidget::close);

    Panel3 = new QFrame(Panel2);
    auto* settings = new QHBoxLayout(Panel3);
    settings->setContentsMargins(6, 0, 0, 0);
    auto makeSpin = [this, settings](QLabel*& label, QSpinBox*& spin, const QString& caption,
                                     const QString& hint, int value) {
        label = new QLabel(caption, Panel3);
        spin = new QSpinBox(Panel3);
        spin->setRange(0, 100);
        spin->setValue(value);
        for (QWidget* w : {static_cast<QWidget*>(label), static_cast<QWidget*>(spin)}) {
            w->setToolTip(hint);
            w->setStatusTip(hint);
        }
        settings->addWidget(label);
        settings->addWidget(spin);
    };
    makeSpin(Label1, Smth, "Smooth", "Jpeg Save Smooth", 5);
    makeSpin(Label2, Qual, "Quality", "Jpeg Save Quality", 95);
    Panel3->hide();

    for (QWidget* w : {static_cast<QWidget*>(Editor), static_cast<QWidget*>(PlayGif),
                       static_cast<QWidget*>(Manipul), static_cast<QWidget*>(Abboutbox),
                       static_cast<QWidget*>(Panel3)})
        row->addWidget(w);
    row->addStretch(1);
    row->addWidget(CloseWindow);
}

void TMainForm::CreateBrowser() {
    LeftColumn = new QWidget(Panel1);
    auto* column = new QVBoxLayout(LeftColumn);
    column->setContentsMargins(0, 2, 0, 2);
    column->setSpacing(2);
    ComboBox1 = new QComboBox(LeftColumn);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMaxVisibleItems(15);
    ComboBox1->addItems(FilterItems);
    ComboBox1->setEditText("Select file type");
    FileListBox1 = new QListWidget(LeftColumn);
    DirectoryListBox1 = new QListWidget(LeftColumn);
    DriveComboBox1 = new QComboBox(LeftColumn);
    DriveComboBox1->addItems(Drives());
    column->addWidget(ComboBox1);
    column->addWidget(FileListBox1, 1);
    column->addWidget(DirectoryListBox1, 1);
    column->addWidget(DriveComboBox1);
    FileListBox1->installEventFilter(this);
    DirectoryListBox1->installEventFilter(this);
    CreateBrowserConnections();
}

void TMainForm::CreatePreview() {
    const COLORREF buttonFace = GetSysColor(COLOR_BTNFACE);
    ScrollBox1 = new QScrollArea(Panel1);
    ScrollBox1->move(kColumnWidth + 3, 2);
    ScrollBox1->setWidgetResizable(false);
    ScrollBox1->setFocusPolicy(Qt::StrongFocus);
    ImageHolder = new QWidget;
    ImageHolder->resize(40, 40);

    MultiImage1 = new TPMultiImage(ImageHolder);
    MultiImage1->SetAutoSize(true);
    MultiImage1->SetScrollbarWidth(12);
    MultiImage1->SetColor(buttonFace);
    MultiImage1->OnProgress = [this](TPMultiImage*, int16_t progress, const std::string&,
                                     bool& cancel) { MultiImage1Progress(progress, cancel); };
    MultiImage1->hide();

    AniGifImage1 = new PVWebImage(ImageHolder);
    AniGifImage1->setGeometry(0, 0, 40, 40);
    AniGifImage1->SetAutoSize(true);
    AniGifImage1->MapTransparentColor = buttonFace;
    AniGifImage1->SetPngJpgBackGroundColor(buttonFace);
    AniGifImage1->SetJPegSaveQuality(25);
    AniGifImage1->SetJPegSaveSmooth(5);
    AniGifImage1->SetUseScrollBars(false);
    AniGifImage1->OnProgress = [this](PVAnimationModel*, int progress, int, const MyGifHeader*,
                                      const MyGifImageDescriptor*,
                                      const MyGifGraphicControlBlock*) {
        ProgressBar1->setValue(std::clamp(progress, 0, 100));
    };

    for (QWidget* component :
         {static_cast<QWidget*>(MultiImage1), static_cast<QWidget*>(AniGifImage1)}) {
        component->setAcceptDrops(true);
        component->installEventFilter(this);
    }
    MultiImage1->Loaded();
    AniGifImage1->Loaded();
    ScrollBox1->setWidget(ImageHolder);
}

void TMainForm::CreateStatusBar() {
    StatusBar1 = new QStatusBar(ClientArea);
    StatusBar1->setSizeGripEnabled(false);
    StatusPanel0 = new QLabel(StatusBar1);
    StatusPanel0->setFixedWidth(kStatusPanelWidth);
    StatusPanel1 = new QLabel(StatusBar1);
    StatusPanel1->setMinimumWidth(kStatusPanelWidth);
    StatusBar1->addWidget(StatusPanel0);
    StatusBar1->addWidget(StatusPanel1, 1);
    ProgressBar1 = new QProgressBar(ClientArea);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->resize(kProgressWidth, kStatusBarHeight - 4);
    ProgressBar1->raise();
}

void TMainForm::FormCreate() {
    SetHelpFile(std::string(ProgramFolder()) + "/zentrope.hlp");
    SetDirectory(QDir::currentPath());
    const QString file = CommandLineFile();
    CommandLineFile().clear();
    OpenFile(file, TOpenFrom::CommandLine);
}

// The framework aligns the bars and the client panel; the window's own
// rules then place the progress bar and the scroll box.
void TMainForm::FormResize() {
    const int w = ClientArea->width();
    const int h = ClientArea->height();
    Panel2->setGeometry(0, 0, w, kToolBarHeight);
    StatusBar1->setGeometry(0, h - kStatusBarHeight, w, kStatusBarHeight);
    const int statusTop = StatusBar1->y();
    Panel1->setGeometry(0, kToolBarHeight, w, std::max(0, statusTop - kToolBarHeight));
    LeftColumn->setGeometry(0, 0, kColumnWidth, Panel1->height());

    ProgressBar1->move(std::max(0, w - kProgressWidth - 2), statusTop + 2);
    ScrollBox1->resize(std::max(0, Panel1->width() - ScrollBox1->x() - 3),
                       std::max(0, statusTop - Panel2->height() - 5));
}

void TMainForm::DisplayHint(const QString& hint) {
    StatusPanel1->setText(hint);
}

// The scroll box's content is as large as the component on display.
void TMainForm::UpdateImageHolder() {
    QWidget* shown = MultiImage1->isVisibleTo(ImageHolder) ? static_cast<QWidget*>(MultiImage1)
                                                           : static_cast<QWidget*>(AniGifImage1);
    ImageHolder->resize(shown->size().expandedTo(QSize(1, 1)));
}

void TMainForm::MultiImage1Progress(int progress, bool& cancelProcess) {
    if (FClosing) {
        cancelProcess = true;
        return;
    }
    QCoreApplication::processEvents();
    ProgressBar1->setValue(std::clamp(progress, 0, 100));
    cancelProcess = false;
}

bool TMainForm::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip) {
        DisplayHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QWidget::event(event);
}

// Both components show that they accept whatever is dragged over them;
// dropping does nothing, except for files from outside, which open.
bool TMainForm::HandleDrag(QEvent* event) {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
        event->type() == QEvent::Drop) {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!DroppedFiles(drag->mimeData()).isEmpty()) {
            drag->acceptProposedAction();
            if (event->type() == QEvent::Drop) OpenDroppedFiles(drag->mimeData()->urls());
            return true;
        }
    }
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
        static_cast<QDragMoveEvent*>(event)->acceptProposedAction();
        return true;
    case QEvent::Drop:
        // Refused, so that a source offering a move never deletes what was
        // dragged: the drop does nothing.
        event->ignore();
        return true;
    default:
        return false;
    }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ClientArea && event->type() == QEvent::Resize) {
        FormResize();
    } else if (watched == MultiImage1 || watched == AniGifImage1) {
        if (HandleDrag(event)) return true;
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show) UpdateImageHolder();
    } else if (event->type() == QEvent::ShortcutOverride &&
               (watched == ComboBox1 || watched == Smth || watched == Qual ||
                watched == ComboBox1->lineEdit())) {
        // Filtered but not accepted: the menu's short cut runs instead.
        if (IsMenuShortCut(*static_cast<QKeyEvent*>(event))) return true;
    } else if (watched == FileListBox1 || watched == DirectoryListBox1) {
        // F1 on the browser lists opens the browser's topic rather than the
        // contents the menu's F1 would open.
        const bool keyEvent =
            event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress;
        if (keyEvent && static_cast<QKeyEvent*>(event)->key() == kHelpKey) {
            event->accept();
            if (event->type() == QEvent::KeyPress) HelpJump(kBrowserTopic);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!MayDiscardAnimation()) {
        event->ignore();
        return;
    }
    FClosing = true;
    QWidget::closeEvent(event);
    emit FormClosed();
}
