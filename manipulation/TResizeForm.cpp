#include "manipulation/TResizeForm.h"

#include "app/ModalResult.h"
#include "bindings/EffectsBinding.h"
#include "imaging/still/TPMultiImage.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>

TResizeForm::TResizeForm(QWidget* parent)
    : TToolDialog(parent, "ResizeForm", "Resize Image", 540, 400, "__Resize_the_selected_frames") {
    ScrollBox1 = Hinted(new QScrollArea(Client), "ScrollBox1");
    ScrollBox1->setGeometry(8, 8, 440, 300);
    ScrollBox1->setWidgetResizable(false);
    PMultiImage1 = Hinted(new TPMultiImage, "PMultiImage1");
    PMultiImage1->SetStretch(true);
    PMultiImage1->Loaded();
    ScrollBox1->setWidget(PMultiImage1);

    WBar = Hinted(new QSlider(Qt::Horizontal, Client), "WBar");
    WBar->setGeometry(8, 312, 440, 24);
    Hbar = Hinted(new QSlider(Qt::Vertical, Client), "Hbar");
    Hbar->setGeometry(454, 8, 24, 300);
    // Small values at the top, as the height grows downwards.
    Hbar->setInvertedAppearance(true);
    for (QSlider* bar : {WBar, Hbar}) {
        bar->setRange(MinSide, MaxSide);
        bar->setPageStep(10);
    }
    connect(WBar, &QSlider::valueChanged, this, &TResizeForm::WBarChange);
    connect(Hbar, &QSlider::valueChanged, this, &TResizeForm::HbarChange);

    Label5 = Hinted(new QLabel("Move the trackbars to resize the frame", Client), "Label5");
    Label5->setGeometry(8, 342, 440, 17);
    Label1 = Hinted(new QLabel("New Width", Client), "Label1");
    Label1->setGeometry(8, 364, 76, 17);
    Label3 = Hinted(new QLabel(Client), "Label3");
    Label3->setGeometry(88, 364, 60, 17);
    Label2 = Hinted(new QLabel("New Heigth", Client), "Label2");
    Label2->setGeometry(8, 382, 76, 17);
    Label4 = Hinted(new QLabel(Client), "Label4");
    Label4->setGeometry(88, 382, 60, 17);

    AddFrameButtons(366, 290, 370, 450, AllFrames, AllFramesBtn, ThisFrameBtn, CancelBtn);
}

void TResizeForm::SetFrame(const zp::TBitmap& frame, int width, int height) {
    zp::TBitmap picture;
    if (DllSP96::CopyBitmap(frame, picture)) PMultiImage1->Picture().AssignBitmap(picture);
    FNewWidth = width;
    FNewHeight = height;
    PMultiImage1->SetBounds(0, 0, width, height);
    {
        // The bars only show the size here; a clamped position is no choice.
        const QSignalBlocker w(WBar), h(Hbar);
        WBar->setValue(width);
        Hbar->setValue(height);
    }
    Label3->setText(QString::number(width));
    Label4->setText(QString::number(height));
}

void TResizeForm::WBarChange(int position) {
    FNewWidth = position;
    PMultiImage1->SetBounds(0, 0, position, PMultiImage1->height());
    Label3->setText(QString::number(position));
}

void TResizeForm::HbarChange(int position) {
    FNewHeight = position;
    PMultiImage1->SetBounds(0, 0, PMultiImage1->width(), position);
    Label4->setText(QString::number(position));
}
