// The main window's folder browser: drive box, folder tree and the file
// list filtered by the mask.
#include "app/TMainForm.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QStyle>
#include <vector>

namespace {

constexpr int kPathRole = Qt::UserRole;

// One pattern per ";"-separated part; no parts matches every name.
std::vector<QRegularExpression> CompileMask(const QString& mask) {
    std::vector<QRegularExpression> patterns;
    for (QString part : mask.split(';', Qt::SkipEmptyParts)) {
        part = part.trimmed();
        if (part.isEmpty()) continue;
        // "*.*" meant every file where it comes from, with or without a dot.
        if (part == "*.*") part = "*";
        // Names hold no "/", so the path form of the wildcards is the plain one.
        patterns.emplace_back(QRegularExpression::wildcardToRegularExpression(part),
                              QRegularExpression::CaseInsensitiveOption);
    }
    return patterns;
}

bool Matches(const std::vector<QRegularExpression>& patterns, const QString& name) {
    if (patterns.empty()) return true;
    for (const QRegularExpression& pattern : patterns)
        if (pattern.match(name).hasMatch()) return true;
    return false;
}

QListWidgetItem* AddFolder(QListWidget* list, const QString& text, const QString& path, int depth,
                           bool open) {
    const QStyle::StandardPixmap glyph = open ? QStyle::SP_DirOpenIcon : QStyle::SP_DirClosedIcon;
    auto* item = new QListWidgetItem(list->style()->standardIcon(glyph),
                                     QString(depth * 2, ' ') + text, list);
    item->setData(kPathRole, path);
    return item;
}

} // namespace

void TMainForm::CreateBrowserConnections() {
    connect(DriveComboBox1, &QComboBox::activated, this, &TMainForm::DriveChange);
    connect(DirectoryListBox1, &QListWidget::itemActivated, this, &TMainForm::DirectoryActivated);
    connect(FileListBox1, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* current) { FileListChange(current); });
    connect(FileListBox1, &QListWidget::itemClicked, this, &TMainForm::FileListClick);
    // Connected after the initial text is set, so "Select file type" never
    // becomes the mask.
    connect(ComboBox1, &QComboBox::currentTextChanged, this, &TMainForm::SetFileMask);
}

QStringList TMainForm::Drives() {
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && volume.rootPath() != "/")
            roots << volume.rootPath();
    roots.removeDuplicates();
    roots.sort();
    roots.prepend("/");
    return roots;
}

bool TMainForm::MatchesMask(const QString& fileName, const QString& mask) {
    return Matches(CompileMask(mask), fileName);
}

void TMainForm::SetDirectory(const QString& folder) {
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir()) return;
    FDirectory = QDir::cleanPath(info.absoluteFilePath());
    UpdateDirectoryList();
    // The drive box follows the folder, as the drive a folder lies on.
    const int drive = DriveComboBox1->findText(QStorageInfo(FDirectory).rootPath());
    if (drive >= 0) {
        const QSignalBlocker blocker(DriveComboBox1);
        DriveComboBox1->setCurrentIndex(drive);
    }
    UpdateFileList();
}

void TMainForm::SetFileMask(const QString& mask) {
    FFileMask = mask;
    UpdateFileList();
}

// The folder's ancestors from the root down, the folder itself (selected)
// and its subfolders one level deeper, as a folder list shows them.
void TMainForm::UpdateDirectoryList() {
    const QSignalBlocker blocker(DirectoryListBox1);
    DirectoryListBox1->clear();
    if (FDirectory.isEmpty()) return;
    const QStringList parts = FDirectory.split('/', Qt::SkipEmptyParts);
    QListWidgetItem* current = AddFolder(DirectoryListBox1, "/", "/", 0, true);
    QString path;
    for (int i = 0; i < parts.size(); ++i) {
        path += '/' + parts[i];
        current = AddFolder(DirectoryListBox1, parts[i], path, i + 1, true);
    }
    DirectoryListBox1->setCurrentItem(current);
    const QDir dir(FDirectory);
    const QStringList children =
        dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& child : children)
        AddFolder(DirectoryListBox1, child, dir.filePath(child), int(parts.size()) + 1, false);
}

void TMainForm::UpdateFileList() {
    const QSignalBlocker blocker(FileListBox1);
    FileListBox1->clear();
    if (FDirectory.isEmpty()) return;
    const std::vector<QRegularExpression> patterns = CompileMask(FFileMask);
    const QIcon glyph = style()->standardIcon(QStyle::SP_FileIcon);
    const QFileInfoList files =
        QDir(FDirectory).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& file : files) {
        if (!Matches(patterns, file.fileName())) continue;
        auto* item = new QListWidgetItem(glyph, file.fileName(), FileListBox1);
        item->setData(kPathRole, file.absoluteFilePath());
    }
}

void TMainForm::DriveChange(int index) {
    SetDirectory(DriveComboBox1->itemText(index));
}

void TMainForm::DirectoryActivated(QListWidgetItem* item) {
    if (item) SetDirectory(item->data(kPathRole).toString());
}

void TMainForm::FileListChange(QListWidgetItem* current) {
    if (current) OpenFile(current->data(kPathRole).toString(), TOpenFrom::FileList);
}

// A click on the entry already chosen shows it again if something else
// was opened meanwhile; a click that changes the entry was served above.
void TMainForm::FileListClick(QListWidgetItem* item) {
    if (!item) return;
    const QString path = item->data(kPathRole).toString();
    if (path != FShownFile) OpenFile(path, TOpenFrom::FileList);
}
