#include "app/TYesNo.h"

#include "app/ModalResult.h"
#include "app/SharedForms.h"

#include <QLabel>
#include <QPushButton>

TYesNo::TYesNo(QWidget* parent) : QDialog(parent) {
    setObjectName("YesNo");
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle("Please confirm");
    Client = MakeClientArea(this, 367, 112);

    Cap = new QLabel(Client);
    Cap->setObjectName("Cap");
    Cap->setGeometry(8, 14, 353, 53);
    Cap->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Cap->setWordWrap(true);

    BitBtn1 = new QPushButton("&Yes", Client);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(88, 72, 75, 25);
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { done(mrYes); });

    BitBtn2 = new QPushButton("&No", Client);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setGeometry(208, 72, 75, 25);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(mrNo); });

    MSOfficeCaption1 = AttachCaption(this, CaptionKind::ToolWindow);
}

bool TYesNo::Ask(const QString& question) {
    Cap->setText(question);
    return exec() == mrYes;
}

void TYesNo::reject() {
    done(mrCancel);
}

void TYesNo::showEvent(QShowEvent* event) {
    CenterOnScreen(this);
    BitBtn1->setFocus();
    QDialog::showEvent(event);
}
