#include "manipulation/TToolDialog.h"

#include "app/ModalResult.h"
#include "app/SharedForms.h"
#include "app/THelpWindow.h"

#include <QKeyEvent>
#include <QPushButton>

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

void TToolDialog::AddFrameButtons(int y, int allX, int thisX, int cancelX, bool& allFrames,
                                  QPushButton*& all, QPushButton*& current, QPushButton*& cancel) {
    all = Hinted(new QPushButton("All Frames", Client), "AllFramesBtn",
                 "Apply to all selected frames");
    all->setGeometry(allX, y, 75, 25);
    connect(all, &QPushButton::clicked, this, [this, &allFrames] {
        allFrames = true;
        done(mrOk);
    });
    current = Hinted(new QPushButton("This Frame", Client), "ThisFrameBtn",
                     "Apply to current frame only");
    current->setGeometry(thisX, y, 75, 25);
    connect(current, &QPushButton::clicked, this, [this, &allFrames] {
        allFrames = false;
        done(mrOk);
    });
    cancel = Hinted(new QPushButton("Cancel", Client), "CancelBtn");
    cancel->setGeometry(cancelX, y, 75, 25);
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
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
