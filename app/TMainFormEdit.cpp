// "Edit Gif": the editor works on the main window's own frame and comment
// lists, and the main window shows what the editor left.
#include "app/TMainForm.h"
#include "editor/TGifEdit.h"
#include "imaging/animated/PVWebImage.h"
#include "imaging/common/WaitCursor.h"
#include "imaging/still/TPMultiImage.h"
#include "platform/Gdi.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QToolButton>

void TMainForm::EditorClick() {
    if (MultiImage1->isVisibleTo(ImageHolder)) {
        // A still picture becomes a one-frame animation for good.
        const WaitCursor hourglass;
        AniGifImage1->NewFromBitmap(MultiImage1->Picture().Bitmap(), 8);
        MultiImage1->hide();
        AniGifImage1->show();
        PlayGif->setEnabled(true);
        // Shown at the picture's size behind the editor, not at the old one.
        AniGifImage1->SetAutoSize(AniGifImage1->AutoSize);
        UpdateImageHolder();
    } else {
        // A GIF of one plain image shows without a frame to edit.
        AniGifImage1->FrameFromSingleImage();
    }

    {
        TGifEdit editor(this);
        TFrameList* frames = AniGifImage1->Frames();
        QStringList names;
        names.reserve(int(frames->size()));
        for (const TMyGifAnimation* record : *frames)
            names << QString::fromStdString(record->Name);
        editor.GifNameBox->addItems(names);
        for (size_t i = 0; i < AniGifImage1->Comments()->size(); ++i)
            editor.CommentNameBox->addItem("Comment Block");
        editor.FFrameList = frames;
        editor.FCommentList = AniGifImage1->Comments();
        editor.ShowFrameCount();
        editor.OnFramesChanged = [this] { AniGifImage1->FramesChanged(); };
        // The screen's values show before a frame is picked, so closing at
        // once gives the component back what it had, not an empty screen.
        editor.ShowScreenValues();
        editor.SetFrameControlsEnabled(false);
        editor.ChangedBefore = FAnimationModified;
        AniGifImage1->Play();
        editor.exec();
        FAnimationModified = editor.Modified();

        AniGifImage1->ScreenWidth = uint16_t(editor.ScreenWidthEdit->value());
        AniGifImage1->ScreenHeight = uint16_t(editor.ScreenHeightEdit->value());
        AniGifImage1->MapTransparentColor = ColorToRGB(editor.Panel5Color());
        AniGifImage1->SetAutoSize(AniGifImage1->AutoSize);
    }
    AniGifImage1->FramesChanged();
    AniGifImage1->Paint();
    UpdateImageHolder();
    UpdateFileList();
    UpdateDirectoryList();
}
