// Saving. The editor writes no file itself: for each file a temporary
// animated-image component borrows the records and comment blocks
// (SharedFrames, so it never frees them), writes them through the codec and
// is freed again. The codec writes to a temporary file and renames it over
// the target only when complete, so a failed save leaves an existing file
// as it was. With "Optimize file size" ticked the component writes through
// the optimiser, which works on copies it makes and frees.
#include "editor/TAllOrSel.h"
#include "editor/TGifEdit.h"

#include "app/ModalResult.h"
#include "bindings/ErrorInvalid.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/common/WaitCursor.h"
#include "platform/Message.h"
#include "platform/ScopeGuards.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QListWidget>
#include <QProgressBar>
#include <QScrollArea>
#include <functional>
#include <utility>

namespace {

// SaveDialog2. Non-native, so that it looks the same everywhere and tests
// can drive it. Answers the chosen name, empty when cancelled.
QString chooseFile(QWidget* parent) {
    QFileDialog dialog(parent, "Animated Gif File Save");
    dialog.setObjectName("SaveDialog2");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter("Gif (*.Gif)");
    dialog.setDefaultSuffix("gif");
    if (dialog.exec() != QDialog::Accepted) return {};
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.constFirst();
}

// The name of the file of frame `position` when each frame gets its own:
// folder + base + "_" + position + ".GIF". Only the last extension is
// taken off the chosen name, so "my.anim.gif" gives "my.anim_0.GIF"
// (cutting four characters at the first dot would give "mym.gif_0.GIF");
// a name without one, or a dot file, is kept whole.
QString frameFileName(const QString& chosen, int position) {
    const QFileInfo info(chosen);
    QString base = info.fileName();
    const qsizetype dot = base.lastIndexOf('.');
    if (dot > 0) base.truncate(dot);
    return info.absolutePath() + '/' + base + '_' + QString::number(position) + ".GIF";
}

} // namespace

PVWebImage* TGifEdit::MakeTempImage(bool visible) {
    FreeTempImage();
    QWidget* holder = PreviewHolder ? PreviewHolder : ScrollBox1->viewport();
    FTempImage = new PVWebImage(holder);
    // Auto-size first: the bounds then hold until a picture sizes it.
    FTempImage->SetAutoSize(true);
    FTempImage->setGeometry(0, 0, 177, 153);
    FTempImage->SharedFrames = true;
    FTempImage->GifMode = true;
    FTempImage->OnProgress = [this](PVAnimationModel*, int progress, int, const MyGifHeader*,
                                    const MyGifImageDescriptor*, const MyGifGraphicControlBlock*) {
        // Painted at once: a save lets no events run, so the bar would
        // otherwise stand still until the end.
        if (PBar->value() == progress) return;
        PBar->setValue(progress);
        if (PBar->isVisible()) PBar->repaint();
    };
    FTempImage->setVisible(visible);
    FTempImage->Loaded();
    return FTempImage;
}

void TGifEdit::FreeTempImage() {
    delete std::exchange(FTempImage, nullptr);
}

std::string TGifEdit::WriteFramesTo(const std::vector<TMyGifAnimation*>& frames, bool comments,
                                    const std::string& file) {
    PVWebImage* image = MakeTempImage(false);
    zp::AtExit freed{[this] { FreeTempImage(); }};
    image->Frames()->assign(frames.begin(), frames.end());
    if (comments && FCommentList)
        image->Comments()->assign(FCommentList->begin(), FCommentList->end());
    // "Optimize file size" (TAllOrSel) holds for every save until it is
    // unticked; the records themselves are never changed by it.
    image->OptimizeLevel = TAllOrSel::OptimizeRemembered() ? 3 : 0;
    // Without OnPvlibError the component throws the codec's text; catching
    // it here lets the caller show it once, whatever the failure was.
    try {
        image->SaveToFile(file);
    } catch (const std::exception& failure) {
        return failure.what();
    }
    return {};
}

bool TGifEdit::SaveFramesTo(const std::vector<TMyGifAnimation*>& frames, bool comments,
                            const std::string& file) {
    if (FTempImage) return false;
    std::string failure;
    {
        WaitCursor wait;
        zp::AtExit reset{[this] { PBar->setValue(0); }};
        failure = WriteFramesTo(frames, comments, file);
    }
    if (failure.empty()) return true;
    ShowMessage(failure.c_str());
    return false;
}

void TGifEdit::SaveBtnClick() {
    // FTempImage is the playing component during playback: nothing is saved.
    if (!FFrameList || FFrameList->empty() || FTempImage) return;
    zp::AtExit cleanUp{[this] {
        FreeTempImage();
        PBar->setValue(0);
    }};
    const int n = int(FFrameList->size());

    // One file: the hourglass shows from the file dialog on; SaveFramesTo
    // keeps it while writing and takes it off before a failure is shown.
    const auto chooseOneFile = [this] {
        WaitCursor wait;
        return QFile::encodeName(chooseFile(this)).toStdString();
    };
    if (n == 1) {
        // Comments are always written with a lone frame.
        if (const std::string file = chooseOneFile(); !file.empty())
            if (SaveFramesTo({FFrameList->front()}, true, file)) SavedWhole();
        return;
    }

    bool comments = true;
    TAllOrSel::TSaveMode mode = TAllOrSel::AllToOne;
    {
        TAllOrSel choice(this);
        if (choice.exec() != mrOk) return;
        mode = choice.Mode();
        comments = choice.IncludeComments();
    }
    const bool selectedOnly = mode == TAllOrSel::SelectedToOne || mode == TAllOrSel::SelectedToEach;
    std::vector<int> positions;
    for (int i = 0; i < n; ++i) {
        const QListWidgetItem* entry = GifNameBox->item(i);
        if (!selectedOnly || (entry && entry->isSelected())) positions.push_back(i);
    }
    // Said before a name is asked for, the same for both selected modes.
    if (positions.empty()) {
        ShowMessage("No frames are selected; nothing was saved.");
        return;
    }

    if (mode == TAllOrSel::AllToOne || mode == TAllOrSel::SelectedToOne) {
        const std::string file = chooseOneFile();
        if (file.empty()) return;
        std::vector<TMyGifAnimation*> frames;
        for (int i : positions)
            frames.push_back((*FFrameList)[size_t(i)]);
        // Only a file holding every frame and every comment block is the
        // animation saved.
        if (SaveFramesTo(frames, comments, file) && mode == TAllOrSel::AllToOne &&
            (comments || !FCommentList || FCommentList->empty()))
            SavedWhole();
        return;
    }

    const QString chosen = chooseFile(this);
    if (chosen.isEmpty()) return;
    std::string failure;
    QStringList written;
    {
        WaitCursor wait;
        for (int i : positions) {
            const QString file = frameFileName(chosen, i);
            failure = WriteFramesTo({(*FFrameList)[size_t(i)]}, comments,
                                    QFile::encodeName(file).toStdString());
            // A failure ends the whole save; the frames after it stay unwritten.
            if (!failure.empty()) break;
            written << QFileInfo(file).fileName();
        }
    }
    if (failure.empty()) return;
    // Say which files exist now, so that a partial set is not taken for a
    // complete one.
    const QString done = written.isEmpty()
                             ? QString("No file was written.")
                             : "Written before the failure: " + written.join(", ") + ".";
    ShowMessage((QString::fromStdString(failure) + "\n" + done).toUtf8().constData());
}
