#include "manipulation/TRotateForm.h"

#include "app/ModalResult.h"
#include "bindings/EffectsBinding.h"
#include "imaging/common/ColorRef.h"
#include "imaging/still/TPMultiImage.h"
#include "manipulation/PreviewPlacement.h"
#include "platform/Gdi.h"

#include <QColorDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QToolButton>
#include <cmath>

TRotateForm::TRotateForm(QWidget* parent)
    : TToolDialog(parent, "RotateForm", "Rotate Image", 433, 337, "Rotate_Frame"),
      FillColor(clBtnFace) {
    MakePreview(Client, Panel1, ScrollBox1, PMultiImage1);

    TrackBar1 = Hinted(new QSlider(Qt::Horizontal, Client), "TrackBar1", "Angle to rotate");
    TrackBar1->setGeometry(8, 270, 300, 24);
    TrackBar1->setRange(0, 360);
    TrackBar1->setValue(0);
    TrackBar1->setPageStep(15);
    connect(TrackBar1, &QSlider::valueChanged, this, &TRotateForm::TrackBar1Change);
    Label1 = Hinted(new QLabel("0 degrees", Client), "Label1");
    Label1->setGeometry(316, 272, 109, 17);

    StretchBtn = Hinted(new QToolButton(Client), "StretchBtn", "Stretch Image");
    StretchBtn->setText("Stretch");
    StretchBtn->setCheckable(true);
    StretchBtn->setGeometry(8, 302, 65, 25);
    connect(StretchBtn, &QToolButton::clicked, this, &TRotateForm::StretchBtnClick);
    ColorBtn = Hinted(new QPushButton("Color", Client), "ColorBtn", "Background Color");
    ColorBtn->setGeometry(78, 302, 65, 25);
    connect(ColorBtn, &QPushButton::clicked, this, &TRotateForm::ColorBtnClick);
    RotateBtn = Hinted(new QPushButton("Rotate Frame", Client), "RotateBtn", "Rotate Frame");
    RotateBtn->setGeometry(148, 302, 85, 25);
    connect(RotateBtn, &QPushButton::clicked, this, &TRotateForm::RotateBtnClick);
    ResetBtn = Hinted(new QPushButton("Reset", Client), "ResetBtn", "Reset the image");
    ResetBtn->setGeometry(238, 302, 55, 25);
    connect(ResetBtn, &QPushButton::clicked, this, &TRotateForm::ResetBtnClick);
    OKBtn = Hinted(new QPushButton("OK", Client), "OKBtn");
    OKBtn->setGeometry(298, 302, 60, 25);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(mrOk); });
    CancelBtn = Hinted(new QPushButton("Cancel", Client), "CancelBtn");
    CancelBtn->setGeometry(365, 302, 60, 25);
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(mrCancel); });

    ColorDialog1 = new QColorDialog(this);
    ColorDialog1->setObjectName("ColorDialog1");
    ColorDialog1->setOption(QColorDialog::DontUseNativeDialog);
}

void TRotateForm::SetFrame(const zp::TBitmap& frame) {
    zp::TBitmap picture;
    if (DllSP96::CopyBitmap(frame, picture)) PMultiImage1->Picture().AssignBitmap(picture);
    DllSP96::CopyBitmap(frame, FResetCopy);
}

void TRotateForm::TrackBar1Change(int position) {
    Label1->setText(QString::number(position) + " degrees");
    Angle = position;
}

void TRotateForm::StretchBtnClick() {
    PMultiImage1->SetStretchRatio(StretchBtn->isChecked());
    PlacePreview(PMultiImage1, ScrollBox1, Panel1);
}

void TRotateForm::ColorBtnClick() {
    ColorDialog1->setCurrentColor(ToQColor(ColorToRGB(FillColor)));
    if (ColorDialog1->exec() != QDialog::Accepted) return;
    const QColor chosen = ColorDialog1->selectedColor();
    FillColor = RGB(uint8_t(chosen.red()), uint8_t(chosen.green()), uint8_t(chosen.blue()));
}

void TRotateForm::RotateBtnClick() {
    PMultiImage1->RotateBackColor = ColorToRGB(FillColor);
    PMultiImage1->RotatePicture(0, 0, double(std::lround(Angle)), 0, 0);
}

void TRotateForm::ResetBtnClick() {
    zp::TBitmap picture;
    if (DllSP96::CopyBitmap(FResetCopy, picture)) PMultiImage1->Picture().AssignBitmap(picture);
    Angle = 0;
}
