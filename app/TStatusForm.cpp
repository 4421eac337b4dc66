#include "app/TStatusForm.h"

#include "app/SharedForms.h"

#include <QCoreApplication>
#include <QLabel>

TStatusForm::TStatusForm(QWidget* parent) : QWidget(parent) {
    setObjectName("StatusForm");
    // A tool window without border icons: the operation, not the user, ends it.
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle("Status");
    Client = MakeClientArea(this, 282, 77);

    Stat = new QLabel("Stat", Client);
    Stat->setObjectName("Stat");
    Stat->setAlignment(Qt::AlignCenter);
    Stat->setGeometry(8, 28, 265, Stat->sizeHint().height());

    MSOfficeCaption1 = AttachCaption(this, CaptionKind::ToolWindowPlain);
}

void TStatusForm::ShowStatus(const QString& text) {
    if (!isVisible()) show();
    SetStatus(text);
}

void TStatusForm::SetStatus(const QString& text) {
    Stat->setText(text);
    QCoreApplication::processEvents();
}

void TStatusForm::showEvent(QShowEvent* event) {
    CenterOnScreen(this);
    QWidget::showEvent(event);
}

void TStatusForm::HideStatus() {
    hide();
    QCoreApplication::processEvents();
}
