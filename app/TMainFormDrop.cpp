// Files dropped from a file manager, and the question before unsaved
// changes of the animation go (another file opened, a picture turned into
// the animation, the window closed).
#include "app/SharedForms.h"
#include "app/TMainForm.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QListWidget>
#include <QMimeData>
#include <QSignalBlocker>
#include <QUrl>

QStringList TMainForm::DroppedFiles(const QMimeData* data) {
    return data && data->hasUrls() ? ReadableFiles(data->urls()) : QStringList();
}

QStringList TMainForm::ReadableFiles(const QList<QUrl>& urls) {
    QStringList files;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) continue;
        const QFileInfo info(url.toLocalFile());
        if (info.isFile() && MatchesMask(info.fileName(), InitialMask))
            files << info.absoluteFilePath();
    }
    return files;
}

bool TMainForm::OpenDroppedFiles(const QList<QUrl>& urls) {
    const QStringList files = ReadableFiles(urls);
    if (files.isEmpty()) return false;
    const QFileInfo first(files.constFirst());
    // As a click: the browser goes to the file's folder, the entry is chosen
    // and the file shown (after the question, when changes would go).
    if (!MayDiscardAnimation()) return false;
    SetDirectory(first.absolutePath());
    for (int i = 0; i < FileListBox1->count(); ++i)
        if (QFileInfo(FileListBox1->item(i)->data(Qt::UserRole).toString()) == first) {
            const QSignalBlocker quiet(FileListBox1);
            FileListBox1->setCurrentRow(i);
            break;
        }
    OpenFile(first.absoluteFilePath(), TOpenFrom::FileList);
    return true;
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    if (!DroppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TMainForm::dragMoveEvent(QDragMoveEvent* event) {
    if (!DroppedFiles(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    if (OpenDroppedFiles(event->mimeData()->urls())) event->acceptProposedAction();
}

bool TMainForm::MayDiscardAnimation() {
    if (!FAnimationModified) return true;
    if (!ConfirmYes("The animation has changes that are not saved. Discard them?")) return false;
    FAnimationModified = false;
    return true;
}

void TMainForm::SelectShownFile() {
    const QSignalBlocker quiet(FileListBox1);
    for (int i = 0; i < FileListBox1->count(); ++i)
        if (FileListBox1->item(i)->data(Qt::UserRole).toString() == FShownFile) {
            FileListBox1->setCurrentRow(i);
            return;
        }
    FileListBox1->setCurrentRow(-1);
}
