#include "capture/TCaptureWindow.h"

#include "app/ModalResult.h"
#include "imaging/still/TPMultiImage.h"
#include "imaging/still/TPMultiMedia.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTimer>

namespace {

QLineEdit* ReadOnlyText(QWidget* parent, const char* name, const QString& text, QRect at) {
    auto* edit = TToolDialog::Hinted(new QLineEdit(text, parent), name);
    edit->setReadOnly(true);
    edit->setGeometry(at);
    return edit;
}

} // namespace

TCaptureWindow::TCaptureWindow(QWidget* parent, const char* name, const QString& caption,
                               std::string helpTopic)
    : TToolDialog(parent, name, caption, 574, 401, std::move(helpTopic)) {
    Label1 = Hinted(new QLabel("Video", Client), "Label1");
    Label1->setGeometry(8, 2, 250, 16);
    Panel3 = Hinted(new QFrame(Client), "Panel3");
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel3->setLineWidth(1);
    Panel3->setGeometry(8, 20, 222, 168);
    HBar = Hinted(new QSlider(Qt::Vertical, Client), "HBar", "Make the frames smaller");
    HBar->setGeometry(234, 20, 22, 168);
    HBar->setRange(1, 167);
    HBar->setValue(167);
    HBar->setInvertedAppearance(true);
    VBar = Hinted(new QSlider(Qt::Horizontal, Client), "VBar", "Make the frames smaller");
    VBar->setGeometry(8, 190, 222, 22);
    VBar->setRange(1, 220);
    VBar->setValue(220);

    Label2 = Hinted(new QLabel("Captured frame", Client), "Label2");
    Label2->setGeometry(300, 2, 150, 16);
    PMultiImage1 = Hinted(new TPMultiImage(Client), "PMultiImage1");
    PMultiImage1->SetBorderStyle(bsSingle);
    PMultiImage1->setGeometry(300, 20, 215, 165);
    PMultiImage1->Loaded();

    auto button = [this](QPushButton*& b, const char* name, const QString& text,
                         const QString& hint, QRect at) {
        b = Hinted(new QPushButton(text, Client), name, hint);
        b->setGeometry(at);
        b->setAutoDefault(false);
    };
    button(StartCaptureOnly, "StartCaptureOnly", "Start Capture",
           "Start Capture of video frames to gif animation", {96, 246, 84, 25});
    button(StopCapture, "StopCapture", "Stop Capture", "Stop Capture ", {184, 246, 84, 25});
    button(SingleFrame, "SingleFrame", "Single Frame", "Capture a single frame", {8, 276, 84, 25});
    button(DeleteBtn, "DeleteBtn", "Delete", "Delete all captured frames", {96, 276, 84, 25});
    button(BitBtn1, "BitBtn1", "OK", "Apply ", {404, 368, 75, 25});
    button(BitBtn2, "BitBtn2", "Cancel", "", {488, 368, 75, 25});

    TrackBar1 = Hinted(new QSlider(Qt::Horizontal, Client), "TrackBar1",
                       "Time sice to Capture a frame. Each stripe is 1/10 of a second ");
    TrackBar1->setGeometry(300, 192, 215, 22);
    TrackBar1->setRange(1, 50);
    TrackBar1->setValue(1);
    TrackBar1->setTickPosition(QSlider::TicksBelow);
    Edit3 = ReadOnlyText(Client, "Edit3", "Capture every 10 1/10 seconds", {300, 218, 215, 22});

    HighQuality =
        Hinted(new QRadioButton("High Quality (Each frame has its own color palette)", Client),
               "HighQuality", "Makes the best quality frames");
    HighQuality->setGeometry(276, 246, 296, 20);
    LowQuality =
        Hinted(new QRadioButton("Less Quality (All frames share the same color palette)", Client),
               "LowQuality", "Makes less quality frames");
    LowQuality->setGeometry(276, 268, 296, 20);
    Cls256 =
        Hinted(new QRadioButton("256 Colors", Client), "Cls256", "Generate a 256 Color palette");
    Cls256->setGeometry(276, 296, 120, 20);
    RadioButton6 = Hinted(new QRadioButton("16 Colors", Client), "RadioButton6",
                          "Generate a 16 Color palette");
    RadioButton6->setGeometry(410, 296, 120, 20);
    // The long captions fit the column in a slightly smaller face.
    QFont small = HighQuality->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    for (QRadioButton* r : {HighQuality, LowQuality, Cls256, RadioButton6})
        r->setFont(small);
    auto* quality = new QButtonGroup(this);
    quality->addButton(HighQuality);
    quality->addButton(LowQuality);
    auto* colours = new QButtonGroup(this);
    colours->addButton(Cls256);
    colours->addButton(RadioButton6);
    HighQuality->setChecked(true);
    Cls256->setChecked(true);

    Edit1 = ReadOnlyText(Client, "Edit1", "Height", {8, 338, 84, 22});
    Edit2 = ReadOnlyText(Client, "Edit2", "Width", {96, 338, 84, 22});
    BufText =
        ReadOnlyText(Client, "BufText", "There are 0 frames in the buffer", {8, 364, 260, 22});
    ProgressBar1 = Hinted(new QProgressBar(Client), "ProgressBar1");
    ProgressBar1->setGeometry(284, 334, 279, 18);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);

    Timer1 = new QTimer(this);
    Timer1->setInterval(FIntervalMs);

    connect(DeleteBtn, &QPushButton::clicked, this, &TCaptureWindow::DeleteBtnClick);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(TrackBar1, &QSlider::valueChanged, this, &TCaptureWindow::TrackBar1Change);
    connect(VBar, &QSlider::valueChanged, this, &TCaptureWindow::VBarChange);
    connect(HBar, &QSlider::valueChanged, this, &TCaptureWindow::HBarChange);
}

TCaptureWindow::~TCaptureWindow() {
    // A window destroyed without closing has handed nothing over.
    FBuffer.ClearFrameBuffer();
}

TPMultiMedia* TCaptureWindow::MakeDisplay() {
    auto* display = Hinted(new TPMultiMedia(Panel3), "PMultiMedia1");
    auto* fill = new QGridLayout(Panel3);
    // The panel's 1-pixel bevel is the only margin.
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(display, 0, 0);
    display->SetShowScrollbars(false);
    display->SetScrolling(false);
    return display;
}

bool TCaptureWindow::Capturing() const {
    return Timer1->isActive();
}

void TCaptureWindow::SetIdle(bool idle) {
    if (idle) {
        Timer1->stop();
        FBuffer.FinishRun();
    } else {
        Timer1->start();
    }
    for (QPushButton* b : {StartCaptureOnly, DeleteBtn})
        b->setEnabled(idle);
}

void TCaptureWindow::AddGrab(const QImage& picture, const std::string& source) {
    if (!picture.isNull()) PMultiImage1->Picture().AssignImage(picture);
    PMultiImage1->update();
    if (!PMultiImage1->Picture().HasBitmapHandle()) return;
    const std::string name = "Frame " + std::to_string(FFrameNumber) + " of " + source;
    FBuffer.ConvertAndAddFrame(PMultiImage1->Picture().Bitmap(), HighQuality->isChecked(),
                               Cls256->isChecked(), name);
    // A single frame outside a capture joins the last run's palette now.
    if (!Capturing()) FBuffer.FinishRun();
    BufText->setText(QString::fromStdString(FBuffer.BufferText()));
}

void TCaptureWindow::TrackBar1Change(int position) {
    FIntervalMs = position * 100;
    Timer1->setInterval(FIntervalMs);
    Edit3->setText(QString("Capture every %1  1/10 seconds.").arg(position));
}

void TCaptureWindow::VBarChange(int position) {
    Panel3->resize(position, Panel3->height());
    Edit2->setText(QString("Width = %1").arg(position - 2));
}

void TCaptureWindow::HBarChange(int position) {
    Panel3->resize(Panel3->width(), position);
    Edit1->setText(QString("Height = %1").arg(position - 2));
}

void TCaptureWindow::DeleteBtnClick() {
    ClearFrameBuffer();
}

void TCaptureWindow::ClearFrameBuffer() {
    FBuffer.ClearFrameBuffer();
    BufText->setText(QString::fromStdString(FBuffer.BufferText()));
}

TFrameList TCaptureWindow::TakeFrames() {
    return FBuffer.TakeFrames();
}

void TCaptureWindow::done(int result) {
    // FormClose: anything but OK frees the buffered frames.
    Timer1->stop();
    Closing();
    if (result != mrOk) ClearFrameBuffer();
    TToolDialog::done(result);
}
