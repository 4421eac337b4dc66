// Dragging in the frame list: selected frames dragged within it move; image
// and GIF files dropped on it from a file manager are inserted where they
// land. The list's own item moving is not used: the frame list is the
// records' order, and the names follow it.
#include "editor/TGifEdit.h"
#include "editor/commands/TChangeRecorder.h"

#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMimeData>
#include <QSpinBox>
#include <QUrl>
#include <algorithm>
#include <unordered_set>

namespace {

QStringList LocalFiles(const QMimeData* data) {
    QStringList files;
    if (data && data->hasUrls())
        for (const QUrl& url : data->urls())
            if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
                files << url.toLocalFile();
    return files;
}

} // namespace

void TGifEdit::ConnectFrameDragging() {
    GifNameBox->setDragEnabled(true);
    GifNameBox->setAcceptDrops(true);
    GifNameBox->viewport()->setAcceptDrops(true);
    GifNameBox->setDragDropMode(QAbstractItemView::DragDrop);
    GifNameBox->setDefaultDropAction(Qt::MoveAction);
    GifNameBox->setDropIndicatorShown(true);
}

int TGifEdit::DropRow(QPoint at) const {
    const QListWidgetItem* item = GifNameBox->itemAt(at);
    if (!item) return GifNameBox->count();
    const int row = GifNameBox->row(item);
    return at.y() > GifNameBox->visualItemRect(item).center().y() ? row + 1 : row;
}

bool TGifEdit::FrameListDrag(QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
    auto* drop = static_cast<QDropEvent*>(event);
    const bool inside = drop->source() == GifNameBox;
    const QStringList files = inside ? QStringList() : LocalFiles(drop->mimeData());
    // Nothing changes the frames while playing or in the comments view.
    if ((!inside && files.isEmpty()) || Playing() || !FFrameList || !GifNameBox->isVisible()) {
        drop->ignore();
        return true;
    }
    if (type != QEvent::Drop) {
        // The list draws its drop indicator for its own entries; it would
        // refuse files, so those are taken here.
        drop->acceptProposedAction();
        return !inside;
    }
    const int position = DropRow(drop->position().toPoint());
    // A copy for the source: a move would have the list remove the
    // dragged entries itself.
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (inside)
        MoveFramesTo(SelectedFrames(), position);
    else
        InsertFilesAt(files, position);
    return true;
}

void TGifEdit::MoveFramesTo(const QList<int>& rows, int position) {
    if (!FFrameList || rows.isEmpty() || Playing()) return;
    const int width = ScreenWidthEdit->value(), height = ScreenHeightEdit->value();
    const std::vector<TMyGifAnimation*> moving = RecordsOf(rows);
    const std::unordered_set<TMyGifAnimation*> set(moving.begin(), moving.end());
    position = std::clamp(position, 0, int(FFrameList->size()));
    // Where the drop lands among the frames that stay.
    int before = 0;
    for (int i = 0; i < position; ++i)
        if (!set.count((*FFrameList)[size_t(i)])) ++before;
    {
        const auto change =
            Change(TChangeKind::MoveFrames, moving.size() == 1
                                                ? QString("Move frame")
                                                : QString("Move %1 frames").arg(moving.size()));
        TFrameList staying;
        for (TMyGifAnimation* record : *FFrameList)
            if (!set.count(record)) staying.push_back(record);
        staying.insert(staying.begin() + before, moving.begin(), moving.end());
        *FFrameList = std::move(staying);
        FFrameList->front()->ScreenWidth = uint16_t(width);
        FFrameList->front()->ScreenHeight = uint16_t(height);
    }
    RefillNames();
    GifNameBox->setCurrentRow(before, QItemSelectionModel::ClearAndSelect);
    for (int i = 0; i < int(moving.size()); ++i)
        GifNameBox->item(before + i)->setSelected(true);
    LoadFrameIntoPanels();
    UpdateMoveButtons();
    FramesChanged();
}

void TGifEdit::InsertFilesAt(const QStringList& files, int position) {
    if (!FFrameList || files.isEmpty() || Playing()) return;
    position = std::clamp(position, 0, int(FFrameList->size()));
    const size_t before = FFrameList->size();
    {
        auto change = Change(TChangeKind::InsertFrames, "Insert frames");
        int at = position;
        for (const QString& name : files) {
            const size_t count = FFrameList->size();
            const std::string file = QFile::encodeName(name).toStdString();
            if (QFileInfo(name).suffix().compare("gif", Qt::CaseInsensitive) == 0)
                InsertFramesFromGif(file, at);
            else
                InsertFrameFromStill(file, at);
            at += int(FFrameList->size() - count);
        }
        const size_t added = FFrameList->size() - before;
        change.SetText(added == 1 ? QString("Insert frame")
                                  : QString("Insert %1 frames").arg(added));
    }
    RefillNames();
    if (FFrameList->size() > before) {
        GifNameBox->setCurrentRow(position, QItemSelectionModel::ClearAndSelect);
        LoadFrameIntoPanels();
    }
    AddingEnded(true);
    UpdateMoveButtons();
}
