// OpenFile: shows a file in the component that fits it, then does what the
// caller (command line, file list, open dialog) adds; and "&Open".
#include "app/Startup.h"
#include "app/TMainForm.h"
#include "bindings/ErrorInvalid.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/common/WaitCursor.h"
#include "imaging/still/TMMOpenDialog.h"
#include "imaging/still/TPMultiImage.h"
#include "platform/Gdi.h"
#include "platform/Message.h"
#include "platform/ScopeGuards.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <exception>

namespace {

void Report(const QString& text) {
    ShowMessage(text.toUtf8().constData());
}

} // namespace

void TMainForm::OpenFile(const QString& fileName, TOpenFrom from) {
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.isFile()) return;
    // Loads let pending events run; a second open from one of them (a click
    // on another file) would take the first one's data from under it.
    if (FOpening) return;
    if (!MayDiscardAnimation()) {
        // After the click that chose the entry has run its course, or the
        // list would take the new entry again.
        QTimer::singleShot(0, this, [this] { SelectShownFile(); });
        return;
    }
    const std::string file = QFile::encodeName(fileName).toStdString();
    const bool gif = info.suffix().toUpper() == "GIF";
    bool loaded = true;
    {
        const zp::ScopedFlag opening(FOpening);
        PlayGif->setChecked(false);
        const WaitCursor hourglass;
        if (gif) {
            MultiImage1->hide();
            AniGifImage1->show();
            PlayGif->setEnabled(true);
            AniGifImage1->MapTransparentColor = GetSysColor(COLOR_BTNFACE);
            // The component raises what it cannot read; the window reports it
            // and stays usable.
            try {
                AniGifImage1->LoadFromFile(file);
            } catch (const std::exception& e) {
                loaded = false;
                Report(QString::fromUtf8(e.what()));
            }
        } else {
            AniGifImage1->Stop();
            AniGifImage1->hide();
            MultiImage1->SetImageName("");
            MultiImage1->show();
            PlayGif->setEnabled(false);
            MultiImage1->SetImageName(file); // reports its own failures
        }
        ProgressBar1->setValue(0);
    }
    FShownFile = info.absoluteFilePath();
    UpdateImageHolder();

    switch (from) {
    case TOpenFrom::CommandLine: {
        if (gif && loaded) AniGifImage1->Play();
        CommandLineFile().clear();
        // A folder that cannot be entered (gone since the file was found) is
        // reported; the browser stays where it was.
        const QString folder = info.absolutePath();
        if (QDir::setCurrent(folder))
            SetDirectory(folder);
        else
            Report(QString("Cannot change to the folder \"%1\".")
                       .arg(QDir::toNativeSeparators(folder)));
        break;
    }
    case TOpenFrom::FileList:
        if (gif) AniGifImage1->Paint();
        break;
    case TOpenFrom::OpenDialog:
        break;
    }
}

void TMainForm::Open1Click() {
    if (!MMOpenDialog1) {
        MMOpenDialog1 = new TMMOpenDialog(this);
        MMOpenDialog1->setWindowTitle("Open File");
        MMOpenDialog1->SetFilter("All|*.BMP;*.GIF;*.JPG;*.PCX;*.PNG;*.TIF;*.PCD;*.TGA|");
    }
    if (MMOpenDialog1->Execute())
        OpenFile(QFile::decodeName(MMOpenDialog1->FileName().c_str()), TOpenFrom::OpenDialog);
}
