#include "app/TSPLForm.h"

#include "imaging/still/TPMultiImage.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

namespace {

QLabel* MakeLabel(QWidget* parent, const QString& text, int left, int top, int width, int height,
                  int pixelSize, bool italic) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setItalic(italic);
    label->setFont(font);
    label->setGeometry(left, top, width, height);
    return label;
}

} // namespace

TSPLForm::TSPLForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Zentrope");
    setFixedSize(363, 181);

    Panel1 = new QFrame(this);
    Panel1->setGeometry(0, 0, 363, 181);
    Panel1->setFrameShape(QFrame::Box);
    Panel1->setAutoFillBackground(true);
    QPalette white = Panel1->palette();
    white.setColor(QPalette::Window, Qt::white);
    white.setColor(QPalette::WindowText, Qt::black);
    Panel1->setPalette(white);

    Label1 = MakeLabel(Panel1, "Zentrope", 8, 3, 120, 30, 24, true);
    Label2 = MakeLabel(Panel1, "(tm)", 128, 5, 30, 14, 10, false);
    PMultiImage1 = new TPMultiImage(Panel1);
    PMultiImage1->SetBounds(1, 35, 361, 107);
    PMultiImage1->SetStretchRatio(true);
    PMultiImage1->SetColor(0x00FFFFFF);
    Label3 = MakeLabel(Panel1, "Quillon Software", 8, 143, 347, 12, 10, false);
    Label4 = MakeLabel(Panel1, "Views, builds and edits animated GIFs", 8, 155, 347, 12, 10, false);
    Label5 = MakeLabel(Panel1, "Copyright (c) Quillon. All rights reserved.", 8, 167, 347, 12, 10,
                       false);

    Timer1 = new QTimer(this);
    Timer1->setInterval(DefaultInterval);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &TSPLForm::CloseSplash);

    // Every child takes its own clicks (as they would not reach the panel
    // beneath); only some of them close the window.
    for (QWidget* child : {static_cast<QWidget*>(Panel1), static_cast<QWidget*>(Label1),
                           static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label3),
                           static_cast<QWidget*>(Label4), static_cast<QWidget*>(Label5),
                           static_cast<QWidget*>(PMultiImage1)})
        child->installEventFilter(this);
}

void TSPLForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    FormShow();
}

// The timer starts only once the picture is set, whether or not it loaded,
// so a missing resource never keeps the splash up.
void TSPLForm::FormShow() {
    PMultiImage1->SetImageName("SPLASH.RES");
    Timer1->start();
}

bool TSPLForm::eventFilter(QObject* watched, QEvent* event) {
    // The press is swallowed too, so the picture starts no grab or band.
    if (event->type() == QEvent::MouseButtonPress) return true;
    if (event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* widget = static_cast<QWidget*>(watched);
        const bool closes =
            widget == Panel1 || widget == Label1 || widget == Label3 || widget == PMultiImage1;
        if (closes && widget->rect().contains(mouse->position().toPoint())) CloseSplash();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TSPLForm::CloseSplash() {
    Timer1->stop();
    close();
}
