#include "app/SharedForms.h"

#include "app/TMSOfficeCaption.h"
#include "app/TStatusForm.h"
#include "app/TYesNo.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

TYesNo* YesNo = nullptr;
TStatusForm* StatusForm = nullptr;

void CreateSharedForms() {
    if (!YesNo) YesNo = new TYesNo;
    if (!StatusForm) StatusForm = new TStatusForm;
}

void DestroySharedForms() {
    delete YesNo;
    YesNo = nullptr;
    delete StatusForm;
    StatusForm = nullptr;
}

bool ConfirmYes(const QString& question) {
    CreateSharedForms();
    return YesNo->Ask(question);
}

QWidget* MakeClientArea(QWidget* window, int width, int height) {
    // The layout keeps the client below the painter's bar (the window's
    // contents margins) and sizes the window to fit it exactly.
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* client = new QWidget(window);
    client->setObjectName("Client");
    client->setFixedSize(width, height);
    layout->addWidget(client);
    return client;
}

TMSOfficeCaption* AttachCaption(QWidget* window, CaptionKind kind) {
    auto* caption = new TMSOfficeCaption(window);
    switch (kind) {
    case CaptionKind::ToolWindow:
        caption->SetBorderStyle(bsToolWindow);
        caption->SetBorderIcons(biSystemMenu);
        break;
    case CaptionKind::ToolWindowPlain:
        caption->SetBorderStyle(bsToolWindow);
        caption->SetBorderIcons(0);
        break;
    case CaptionKind::Dialog:
        caption->SetBorderStyle(bsDialog);
        caption->SetBorderIcons(biSystemMenu);
        break;
    }
    caption->CompanyText().SetCaption("Quillon -");
    caption->CompanyText().SetFontKind(fkSystemBI);
    caption->AppNameText().SetCaption("Zentrope -");
    caption->AppNameText().SetFontKind(fkSystemB);
    caption->CaptionText().SetFontKind(fkSystem); // its text is the window's title
    return caption;
}

void CenterOnScreen(QWidget* window) {
    if (QLayout* layout = window->layout()) layout->activate();
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize size = window->frameGeometry().size();
    window->move(area.x() + (area.width() - size.width()) / 2,
                 area.y() + (area.height() - size.height()) / 2);
}
