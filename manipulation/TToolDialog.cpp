#include "manipulation/TToolDialog.h"

#include "app/ModalResult.h"
#include "app/SharedForms.h"
#include "app/THelpWindow.h"

#include <QKeyEvent>

TToolDialog::TToolDialog(QWidget* parent, const char* name, const QString& caption, int clientWidth,
                         int clientHeight, std::string helpTopic)
    : QDialog(parent), FHelpTopic(std::move(helpTopic)) {
    setObjectName(name);
    setWindowTitle(caption);
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    Client = MakeClientArea(this, clientWidth, clientHeight);
    MSOfficeCaption1 = AttachCaption(this, CaptionKind::ToolWindow);
    installEventFilter(this);
}

void TToolDialog::reject() {
    done(mrCancel);
}

void TToolDialog::showEvent(QShowEvent* event) {
    // Controls made after the constructor (by the dialogs' own) are
    // watched too; installing a filter again only moves it to the front.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    CenterOnScreen(this);
    QDialog::showEvent(event);
}

bool TToolDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier && !FHelpTopic.empty()) {
            event->accept();
            if (event->type() == QEvent::KeyPress) HelpJump(FHelpTopic);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
