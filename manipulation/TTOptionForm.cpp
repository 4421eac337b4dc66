#include "manipulation/TTOptionForm.h"

#include "app/ModalResult.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TTOptionForm::TTOptionForm(QWidget* parent)
    : TToolDialog(parent, "TOptionForm", "Text Options", 360, 246, "") {
    Label1 = Hinted(new QLabel("Text", Client), "Label1");
    Label1->setGeometry(8, 8, 344, 16);
    Edit1 = Hinted(new QLineEdit(Client), "Edit1");
    Edit1->setGeometry(8, 26, 344, 22);
    connect(Edit1, &QLineEdit::textChanged, this, &TTOptionForm::RefreshSample);
    Label2 = Hinted(new QLabel("Note: Do only use True Type fonts!", Client), "Label2");
    Label2->setGeometry(8, 54, 344, 16);
    Label3 = Hinted(new QLabel("Sample", Client), "Label3");
    Label3->setGeometry(8, 74, 344, 48);

    FontBtn = Hinted(new QPushButton("Font", Client), "FontBtn", "Set the font properties");
    FontBtn->setGeometry(8, 132, 75, 25);
    connect(FontBtn, &QPushButton::clicked, this, &TTOptionForm::FontBtnClick);
    TransparentBox =
        Hinted(new QCheckBox("Transparent", Client), "TransparentBox", "Transparent background ");
    TransparentBox->setGeometry(8, 166, 100, 20);
    connect(TransparentBox, &QCheckBox::toggled, this, [this](bool on) {
        BackgroundGroup->setVisible(!on);
        RefreshSample();
    });
    BackgroundGroup = Hinted(new QGroupBox("Background color", Client), "BackgroundGroup");
    BackgroundGroup->setGeometry(120, 128, 232, 60);
    ColorBtn = Hinted(new QPushButton("Color", BackgroundGroup), "ColorBtn");
    ColorBtn->setGeometry(12, 24, 75, 25);
    connect(ColorBtn, &QPushButton::clicked, this, &TTOptionForm::ColorBtnClick);

    CommitBtn = Hinted(new QPushButton("Apply and Commit", Client), "CommitBtn",
                       "Apply and burn the text into the selected frames");
    CommitBtn->setGeometry(8, 208, 125, 25);
    connect(CommitBtn, &QPushButton::clicked, this, [this] {
        Commit = true;
        done(mrOk);
    });
    ViewBtn = Hinted(new QPushButton("Apply to View only", Client), "ViewBtn",
                     "Apply but doesn't burn it in the image");
    ViewBtn->setGeometry(139, 208, 125, 25);
    connect(ViewBtn, &QPushButton::clicked, this, [this] {
        Commit = false;
        done(mrOk);
    });
    CancelBtn = Hinted(new QPushButton("Cancel", Client), "CancelBtn");
    CancelBtn->setGeometry(270, 208, 82, 25);
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(mrCancel); });

    FontDialog1 = new QFontDialog(this);
    FontDialog1->setObjectName("FontDialog1");
    FontDialog1->setOption(QFontDialog::DontUseNativeDialog);
    ColorDialog1 = new QColorDialog(this);
    ColorDialog1->setObjectName("ColorDialog1");
    ColorDialog1->setOption(QColorDialog::DontUseNativeDialog);
    // Qt's font dialog has no colour: the text colour goes into its
    // effects box (the group of check boxes), if this Qt has one.
    for (QGroupBox* group : FontDialog1->findChildren<QGroupBox*>()) {
        auto* column = qobject_cast<QBoxLayout*>(group->layout());
        if (!column || group->findChildren<QCheckBox*>().isEmpty()) continue;
        FontColorBtn = Hinted(new QPushButton("Color...", group), "FontColorBtn");
        column->addWidget(FontColorBtn);
        connect(FontColorBtn, &QPushButton::clicked, this, [this] {
            ColorDialog1->setCurrentColor(FPendingFontColor);
            if (ColorDialog1->exec() == QDialog::Accepted)
                FPendingFontColor = ColorDialog1->selectedColor();
        });
        break;
    }
}

void TTOptionForm::Load(const QString& text, const QFont& font, const QColor& fontColor,
                        const QColor& color, bool transparent) {
    FFont = font;
    FFontColor = fontColor;
    FColor = color;
    TransparentBox->setChecked(transparent);
    BackgroundGroup->setVisible(!transparent);
    Edit1->setText(text);
    RefreshSample();
}

QString TTOptionForm::Text() const {
    return Edit1->text();
}

bool TTOptionForm::Transparent() const {
    return TransparentBox->isChecked();
}

void TTOptionForm::RefreshSample() {
    Label3->setFont(FFont);
    QPalette palette = Label3->palette();
    palette.setColor(QPalette::WindowText, FFontColor);
    palette.setColor(QPalette::Window, FColor);
    Label3->setPalette(palette);
    Label3->setAutoFillBackground(!Transparent());
    Label3->setText(Edit1->text());
}

void TTOptionForm::FontBtnClick() {
    FontDialog1->setCurrentFont(FFont);
    FPendingFontColor = FFontColor;
    if (FontDialog1->exec() != QDialog::Accepted) return;
    FFont = FontDialog1->selectedFont();
    FFontColor = FPendingFontColor;
    RefreshSample();
}

void TTOptionForm::ColorBtnClick() {
    ColorDialog1->setCurrentColor(FColor);
    if (ColorDialog1->exec() != QDialog::Accepted) return;
    FColor = ColorDialog1->selectedColor();
    RefreshSample();
}

void TTOptionForm::showEvent(QShowEvent* event) {
    TToolDialog::showEvent(event);
    Edit1->setFocus();
}
