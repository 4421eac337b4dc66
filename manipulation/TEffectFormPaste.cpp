// "Paste Image": a picture from a file, the clipboard or (once the scanner
// code sets the hooks) a scanner becomes the paste source, shown in its
// small preview and over the selection.
#include "bindings/CodecBinding.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "imaging/common/DibClipboard.h"
#include "manipulation/TEffectForm.h"
#include "platform/Gdi.h"
#include "platform/GlobalBlock.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>

namespace {

// The screen's depth as the readers take it: 4 at 4 bits or fewer, 8 below 16, else 24.
int ScreenReadBits() {
    const int screen = ScreenBitsPerPixel();
    return screen <= 4 ? 4 : screen < 16 ? 8 : 24;
}

} // namespace

std::function<void(QWidget*)> TEffectForm::ScannerSelectSource;
std::function<HGLOBAL(QWidget*, int)> TEffectForm::ScannerAcquire;

void TEffectForm::AddPastePage(QWidget* page, int y) {
    FolderLabel = new QLabel(page);
    FolderLabel->setObjectName("FolderLabel");
    FolderLabel->setGeometry(8, y, 340, 20);
    y += 22;
    FolderList = new QListWidget(page);
    FolderList->setObjectName("FolderList");
    FolderList->setGeometry(8, y, 166, 160);
    FileList = new QListWidget(page);
    FileList->setObjectName("FileList");
    FileList->setGeometry(180, y, 166, 160);
    y += 166;
    connect(FolderList, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        FillFolder(QDir(FFolder).absoluteFilePath(item->text()));
    });
    connect(FileList, &QListWidget::currentTextChanged, this, &TEffectForm::FileChosen);
    PastePreview = new TPVPImage(page);
    PastePreview->setObjectName("PastePreview");
    PastePreview->setGeometry(8, y, 120, 90);
    PasteClipboardBtn = new QPushButton("Paste Image from clipboard", page);
    PasteClipboardBtn->setObjectName("PasteClipboardBtn");
    PasteClipboardBtn->setGeometry(136, y, 210, 25);
    PasteClipboardBtn->setEnabled(false);
    connect(PasteClipboardBtn, &QPushButton::clicked, this, &TEffectForm::PasteFromClipboardClick);
    SelectTwainBtn = new QPushButton("Select Twain Source", page);
    SelectTwainBtn->setObjectName("SelectTwainBtn");
    SelectTwainBtn->setGeometry(136, y + 30, 210, 25);
    AquireBtn = new QPushButton("Aquire Image", page);
    AquireBtn->setObjectName("AquireBtn");
    AquireBtn->setGeometry(136, y + 60, 210, 25);
    connect(SelectTwainBtn, &QPushButton::clicked, this, [this] {
        if (ScannerSelectSource) ScannerSelectSource(this);
    });
    connect(AquireBtn, &QPushButton::clicked, this, [this] {
        if (ScannerAcquire)
            if (HGLOBAL dib = ScannerAcquire(this, ScreenReadBits())) SetPasteSource(dib);
    });
    SelectTwainBtn->setEnabled(bool(ScannerSelectSource));
    AquireBtn->setEnabled(bool(ScannerAcquire));
    FillFolder(QDir::currentPath());
}

void TEffectForm::FillFolder(const QString& folder) {
    QDir dir(folder);
    if (!dir.exists()) return;
    FFolder = dir.absolutePath();
    FolderLabel->setText(FFolder);
    FolderList->clear();
    FolderList->addItem("..");
    FolderList->addItems(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name));
    FileList->clear();
    FileList->addItems(dir.entryList({"*.bmp", "*.png", "*.gif", "*.pcx", "*.jpg", "*.jpeg",
                                      "*.tif", "*.tiff", "*.pcd", "*.tga"},
                                     QDir::Files, QDir::Name | QDir::IgnoreCase));
}

void TEffectForm::FileChosen(const QString& name) {
    if (!name.isEmpty()) LoadPasteFile(QDir(FFolder).absoluteFilePath(name).toStdString());
}

bool TEffectForm::LoadPasteFile(const std::string& path) {
    const size_t dot = path.rfind('.');
    std::string ext = dot == std::string::npos ? "" : path.substr(dot, 4);
    for (char& c : ext)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    const int bits = ScreenReadBits();
    HGLOBAL dib = 0;
    bool ok = false;
    auto cb = &TEffectForm::ProgressCallback;
    FStop = false;
    if (ext == ".BMP")
        ok = DLL96V1::rdbmpfiledib(path, bits, false, dib, this, cb);
    else if (ext == ".PNG")
        ok = DLL96V1::rdpngfiledib(path, bits, false, dib, this, cb);
    else if (ext == ".GIF")
        ok = DLL96V1::rdgiffiledib(path, bits, false, dib, this, cb);
    else if (ext == ".PCX")
        ok = DLL96V1::rdpcxfiledib(path, bits, false, dib, this, cb);
    else if (ext == ".JPG")
        ok = DLL96V1::rdjpgfiledib(path, bits, false, dib, this, cb);
    else if (ext == ".TIF")
        ok = DLL96V1::readtiffiledib(path, 0, bits, false, dib, this, cb);
    else if (ext == ".PCD")
        ok = DLL96V1::readpcdfiledib(path, bits, false, dib, this, cb);
    else if (ext == ".TGA")
        ok = DLL96V1::readtgafiledib(path, bits, false, dib, this, cb);
    pvProgress->setValue(0);
    pvStatusText->clear();
    if (!ok || !dib) {
        zp::GlobalBlock::freeFully(dib);
        return false;
    }
    SetPasteSource(dib);
    return true;
}

void TEffectForm::PasteFromClipboardClick() {
    if (HGLOBAL dib = dibclip::TakeDib()) SetPasteSource(dib);
}

void TEffectForm::SetPasteSource(HGLOBAL dib) {
    zp::GlobalBlock::freeFully(FPasteSource);
    FPasteSource = dib;
    PastePreview->SetDib(DuplicateGlobalBlock(dib), true);
    PVPImage->SetOverlay(dib);
    ShowPasteOverlay();
}

void TEffectForm::PollClipboard() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    PasteClipboardBtn->setEnabled(data && (data->hasFormat(dibclip::kDibMime) || data->hasImage()));
    SelectTwainBtn->setEnabled(bool(ScannerSelectSource));
    AquireBtn->setEnabled(bool(ScannerAcquire));
}
