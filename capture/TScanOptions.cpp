#include "capture/TScanOptions.h"

#include "app/ModalResult.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

// A group of two buttons, the first selected.
QGroupBox* Group(QWidget* parent, const QString& title, int y, QRadioButton*& first,
                 const char* firstName, const QString& firstCaption, QRadioButton*& second,
                 const char* secondName, const QString& secondCaption) {
    auto* box = new QGroupBox(title, parent);
    box->setGeometry(8, y, 201, 62);
    first = TToolDialog::Hinted(new QRadioButton(firstCaption, box), firstName);
    first->setGeometry(10, 18, 185, 18);
    first->setChecked(true);
    second = TToolDialog::Hinted(new QRadioButton(secondCaption, box), secondName);
    second->setGeometry(10, 38, 185, 18);
    return box;
}

} // namespace

TScanOptions::TScanOptions(QWidget* parent)
    : TToolDialog(parent, "ScanOptions", "Scan Options", 217, 246, "") {
    Group(Client, "Palette", 4, RadioButton2, "RadioButton2", "Use pallette of existing Gif",
          NewPalette, "NewPalette", "New Palette");
    Group(Client, "Colors", 70, r256, "r256", "256 Colors", RadioButton4, "RadioButton4",
          "16 Colors");
    Group(Client, "Frame", 136, NewFrame, "NewFrame", "New Frame", RadioButton3, "RadioButton3",
          "Replace current frame");
    BitBtn1 = Hinted(new QPushButton("OK", Client), "BitBtn1");
    BitBtn1->setGeometry(71, 210, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { done(mrOk); });
}

void TScanOptions::SetFramesExist(bool exist) {
    RadioButton2->setEnabled(exist);
    RadioButton3->setEnabled(exist);
    if (!exist) {
        NewPalette->setChecked(true);
        NewFrame->setChecked(true);
    }
}
