#include "app/TAboutBox.h"

#include "app/SharedForms.h"
#include "imaging/still/ScrollText.h"
#include "imaging/still/TPMultiImage.h"

#include <QEvent>
#include <QLabel>
#include <QLocale>
#include <QTimer>

namespace {

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry,
                  Qt::Alignment alignment = Qt::AlignHCenter | Qt::AlignVCenter) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    return label;
}

} // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle("Who's responsible ?");
    Client = MakeClientArea(this, 554, 293);
    QPalette dark = Client->palette();
    dark.setColor(QPalette::Window, Qt::black);
    dark.setColor(QPalette::WindowText, Qt::white);
    Client->setPalette(dark);
    Client->setAutoFillBackground(true);

    Image1 = new TPMultiImage(Client);
    Image1->setObjectName("Image1");
    Image1->setGeometry(8, 34, 244, 158);
    Image1->SetStretch(true);
    Image1->SetImageName("SPLASH.RES");
    Image1->Loaded();

    Label2 = MakeLabel(Client, "Label2", "Quillon", QRect(264, 8, 282, 30));
    QFont big = Label2->font();
    big.setPixelSize(24);
    big.setBold(true);
    Label2->setFont(big);
    Label3 = MakeLabel(Client, "Label3", "Makers of Zentrope, the animated GIF workshop",
                       QRect(264, 40, 282, 18));
    Label4 = MakeLabel(Client, "Label4", "www.quillon.example", QRect(264, 58, 282, 18));
    Label5 = MakeLabel(Client, "Label5", "support@quillon.example", QRect(264, 76, 282, 18));

    PMultiImage1 = new TPMultiImage(Client);
    PMultiImage1->setObjectName("PMultiImage1");
    PMultiImage1->setGeometry(264, 100, 282, 124);
    PMultiImage1->SetColor(0);
    PMultiImage1->Loaded();

    Label1 = MakeLabel(Client, "Label1", QString(), QRect(8, 236, 538, 18));
    Label6 = MakeLabel(Client, "Label6", "Copyright (c) Quillon. All rights reserved.",
                       QRect(8, 260, 538, 18));

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &TAboutBox::Timer1Timer);

    MSOfficeCaption1 = AttachCaption(this, CaptionKind::Dialog);
}

void TAboutBox::ShowAbout(QWidget* owner) {
    TAboutBox box(owner);
    box.exec();
}

const QStringList& TAboutBox::CreditTexts() {
    static const QStringList lines = {
        " Quillon presents",
        " Zentrope",
        " the animated GIF workshop",
        " Created by:",
        " Ada Quillon",
        " Bram Tollens",
        " Cato Ferreira",
        " Pictures:",
        " Dana Okonkwo",
        " Imaging library:",
        " the Pictavo team",
        " Tested by:",
        " Eli Varga",
        " Thank you for using Zentrope!",
        " www.quillon.example",
    };
    return lines;
}

void TAboutBox::FormShow() {
    Timer1->start();
}

void TAboutBox::FormHide() {
    Timer1->stop();
}

// Runs on every activation, so each showing starts the credits again from
// the first line.
void TAboutBox::FormActivate() {
    PMultiImage1->StopScrollText(true);
    PMultiImage1->CreditLines.clear();
    for (const QString& line : CreditTexts())
        PMultiImage1->CreditLines.push_back(line.toStdString());
    // Arial at a size of -12 points: a negative size is a cell height of
    // 12 * 96 / 72 = 16 pixels, built the way the scrolling modes build theirs.
    scrolltext::Settings font;
    font.fontName = "Arial";
    font.fontHeight = -((-12) * 96 / 72);
    font.fontHeightGiven = true;
    PMultiImage1->ScrollFont = scrolltext::MakeFont(font);
    PMultiImage1->ScrollFontColor = RGB(255, 255, 255);
    PMultiImage1->ScrollBackColor = 0;
    PMultiImage1->ScrollSpeed = 0; // a step on every tick
    PMultiImage1->CreditIndex = 0;
    PMultiImage1->ShowCreditLine();
    Label1->setText("Pictavo Version Build: " +
                    QString::number(PMultiImage1->Version(), 'g', QLocale::FloatingPointShortest));
}

void TAboutBox::Timer1Timer() {
    PMultiImage1->ScrollTextTick();
}

void TAboutBox::showEvent(QShowEvent* event) {
    CenterOnScreen(this);
    QDialog::showEvent(event);
    FormShow();
    FormActivate();
}

void TAboutBox::hideEvent(QHideEvent* event) {
    FormHide();
    QDialog::hideEvent(event);
}

void TAboutBox::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && isVisible())
        FormActivate();
}
