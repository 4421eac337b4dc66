// The open dialog: creation, the preview column's layout, filters and
// Execute. The previews themselves are in TMMOpenDialogPreview.cpp.
#include "imaging/still/TMMOpenDialog.h"

#include "bindings/CodecBinding.h"
#include "imaging/still/TMIMediaPlayer.h"
#include "imaging/still/TPMultiMedia.h"
#include "platform/Gdi.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QToolButton>
#include <QToolTip>

namespace {

constexpr int kPageButton = 23;
constexpr int kTrackerBottom = 30;
constexpr int kProgressHeight = 20;

QFrame* MakePanel(QWidget* parent, const char* name, int border) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(name);
    panel->setFrameShape(QFrame::NoFrame);
    panel->setContentsMargins(border, border, border, border);
    return panel;
}

// A child that fills its parent's contents.
void Fill(QWidget* parent, QWidget* child) {
    auto* grid = qobject_cast<QGridLayout*>(parent->layout());
    if (!grid) {
        grid = new QGridLayout(parent);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setSpacing(0);
    }
    grid->addWidget(child, 0, 0);
}

// "Name|*.A;*.B|Name|*.C|" in Qt's form "Name (*.A *.B)".
QStringList QtFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(';', Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        if (patterns.isEmpty()) continue;
        out << parts[i] + " (" + patterns.join(' ') + ")";
    }
    return out;
}

} // namespace

TMMOpenDialog::TMMOpenDialog(QWidget* parent) : QFileDialog(parent) {
    setObjectName("MMOpenDialog");
    // Qt's own dialog, so that the preview column can join its layout and
    // tests can drive it.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);
    CreatePreview();
    SetFilter(DLL96V1::SupportedFormatsFilter());
    connect(this, &QFileDialog::currentChanged, this, &TMMOpenDialog::DoSelectionChange);
}

TMMOpenDialog::~TMMOpenDialog() {
    // A load still running below us (the dialog freed from one of its
    // progress reports) must stop at its next report.
    FCancel = true;
}

void TMMOpenDialog::CreatePreview() {
    PreviewColumn = new QWidget(this);
    PreviewColumn->setObjectName("PreviewColumn");
    PreviewColumn->setFixedWidth(PreviewWidth);
    PreviewColumn->installEventFilter(this);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(PreviewColumn, 0, grid->columnCount(), grid->rowCount(), 1);

    TrackerPanel = MakePanel(PreviewColumn, "TrackerPanel", 1);
    TifTrackPanel = MakePanel(TrackerPanel, "TifTrackPanel", 1);
    QFont bold = font();
    bold.setBold(true);
    auto pageButton = [&](QToolButton*& button, const char* name, const char* glyph) {
        button = new QToolButton(TifTrackPanel);
        button->setObjectName(name);
        button->setFixedSize(kPageButton, kPageButton);
        button->setFont(bold);
        button->setIcon(QIcon(QPixmap(QString(":/bitmaps/%1.bmp").arg(glyph))));
        button->setAutoRaise(true);
        button->setEnabled(false);
    };
    pageButton(TiffFirst, "TiffFirst", "PVTB_FIRST");
    pageButton(TiffPrior, "TiffPrior", "PVTB_PRIOR");
    pageButton(TiffNext, "TiffNext", "PVTB_NEXT");
    pageButton(TiffLast, "TiffLast", "PVTB_LAST");
    PageLabel = new QLabel(" ", TifTrackPanel);
    PageLabel->setObjectName("PageLabel");
    PageLabel->move(2, 5);
    TifTrackPanel->hide();
    MediaPlayer = new TMIMediaPlayer(TrackerPanel);
    MediaPlayer->setObjectName("MediaPlayer");
    MediaPlayer->SetVisibleButtons(MPButton(btPlay) | MPButton(btPause) | MPButton(btStop));
    MediaPlayer->SetEnabledButtons(MediaPlayer->VisibleButtons());
    Fill(TrackerPanel, MediaPlayer);
    MediaPlayer->hide();
    connect(TiffFirst, &QToolButton::clicked, this,
            [this] { PageButtonClick(&PVDocumentImage::FirstPage); });
    connect(TiffPrior, &QToolButton::clicked, this,
            [this] { PageButtonClick(&PVDocumentImage::PriorPage); });
    connect(TiffNext, &QToolButton::clicked, this,
            [this] { PageButtonClick(&PVDocumentImage::NextPage); });
    connect(TiffLast, &QToolButton::clicked, this,
            [this] { PageButtonClick(&PVDocumentImage::LastPage); });

    PicturePanel = MakePanel(PreviewColumn, "PicturePanel", 4);
    PaintPanel = new QFrame(PicturePanel);
    PaintPanel->setObjectName("PaintPanel");
    PaintPanel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Fill(PicturePanel, PaintPanel);
    DocumentImage = new PVDocumentImage(PaintPanel);
    DocumentImage->Center = true;
    DocumentImage->hide();
    DocumentImage->OnProgress = [this](PVDocumentImage*, int16_t percent, bool& cancel) {
        PreviewProgress(percent, cancel);
    };
    DocumentImage->OnPageInfo = [this](PVDocumentImage*, int32_t w, int32_t h, int16_t page,
                                       int16_t count) { PageInfo(w, h, page, count); };
    TMultiMedia = new TPMultiMedia(PaintPanel);
    TMultiMedia->setObjectName("TMultiMedia");
    TMultiMedia->SetCenter(true);
    TMultiMedia->SetStretchRatio(true);
    TMultiMedia->SetColor(GetSysColor(COLOR_BTNFACE));
    TMultiMedia->ImageDither = true;
    TMultiMedia->ImageReadRes = lAutoMatic;
    TMultiMedia->hide();
    TMultiMedia->AutoHideMediaPlayer = true;
    TMultiMedia->SetMediaPlayer(MediaPlayer);
    TMultiMedia->OnProgress = [this](TPMultiImage*, int16_t percent, const std::string&,
                                     bool& cancel) { PreviewProgress(percent, cancel); };
    // A file that cannot be shown leaves the pane empty: browsing past it
    // must not raise a message box for every such file.
    TMultiMedia->OnPvlibError = [](TPMultiImage*, int16_t, const std::string&, const char*) {};
    const int frame = PaintPanel->frameWidth();
    auto* paint = new QGridLayout(PaintPanel);
    paint->setContentsMargins(frame, frame, frame, frame);
    paint->addWidget(DocumentImage, 0, 0);
    paint->addWidget(TMultiMedia, 0, 0);

    ProgressPanel = MakePanel(PreviewColumn, "ProgressPanel", 0);
    ProgressBar = new QProgressBar(ProgressPanel);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    PreviewBtn = new QToolButton(ProgressPanel);
    PreviewBtn->setObjectName("PreviewBtn");
    PreviewBtn->setText("P");
    PreviewBtn->setFont(bold);
    PreviewBtn->setCheckable(true);
    PreviewBtn->setGeometry(0, 0, 20, 20);
    connect(PreviewBtn, &QToolButton::clicked, this, &TMMOpenDialog::PreviewBtnClick);
}

// The column is the free space right of the standard controls; the panels
// keep their places in it.
void TMMOpenDialog::LayoutPreview() {
    const int w = PreviewColumn->width(), h = PreviewColumn->height();
    PicturePanel->setGeometry(0, kTrackerBottom, w, std::max(1, h - 2 * kTrackerBottom));
    TrackerPanel->setGeometry(5, 5, std::max(1, w - 10), kTrackerBottom - 5);
    ProgressPanel->setGeometry(4, h - kTrackerBottom, std::max(1, w - 12), kProgressHeight);
    const int barWidth = std::max(1, ProgressPanel->width() - PreviewBtn->width() - 6);
    ProgressBar->setGeometry(ProgressPanel->width() - barWidth, 0, barWidth, kProgressHeight);
    // The first button ends at the middle of the page bar, the others follow.
    TifTrackPanel->setGeometry(TrackerPanel->contentsRect());
    int left = (TifTrackPanel->width() + 1) / 2 - kPageButton;
    for (QToolButton* button : {TiffFirst, TiffPrior, TiffNext, TiffLast}) {
        button->move(left, (TifTrackPanel->height() - kPageButton) / 2);
        left += kPageButton + 1;
    }
    PageLabel->resize(std::max(1, TiffFirst->x() - 4), PageLabel->sizeHint().height());
}

void TMMOpenDialog::SetFilter(const std::string& filter) {
    FFilter = filter;
    setNameFilters(QtFilters(filter));
}

bool TMMOpenDialog::Execute() {
    FFileName.clear();
    if (exec() != QDialog::Accepted) return false;
    const QStringList files = selectedFiles();
    if (files.isEmpty()) return false;
    FFileName = QFile::encodeName(files.first()).toStdString();
    return true;
}

void TMMOpenDialog::showEvent(QShowEvent* event) {
    LayoutPreview();
    PreviewBtn->setToolTip(PreviewBtnHint);
    PreviewBtn->setChecked(DoPreview);
    TiffFirst->setToolTip(TiffFirstHint);
    TiffPrior->setToolTip(TiffPriorHint);
    TiffNext->setToolTip(TiffNextHint);
    TiffLast->setToolTip(TiffLastHint);
    ProgressBar->setValue(0);
    ClearPreview();
    QFileDialog::showEvent(event);
}

void TMMOpenDialog::done(int result) {
    FCancel = true;
    FHasWaitingFile = false;
    MediaPlayer->Close();
    QToolTip::hideText();
    // The file name's completion list would stay on screen after the dialog.
    for (QCompleter* completer : findChildren<QCompleter*>())
        if (completer->popup()) completer->popup()->hide();
    QFileDialog::done(result);
}

bool TMMOpenDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PreviewColumn && event->type() == QEvent::Resize) LayoutPreview();
    return QFileDialog::eventFilter(watched, event);
}
