#pragma once
// "Apply to all selected frames": sets the flagged frame properties on every
// frame selected in its own list, and converts their pictures to 16 or 256
// colours. It works on the editor's frame list, handed over by reference,
// and stays open for further applies until it is closed.
//
// The value spin edits hold what the record fields can: positions 0..32767,
// delays 0..65535. "256 Colors" turns frames of 1 or 4 bits into 8-bit
// frames of the same colours (their table grows to 256 entries); frames of
// 8 bits or more are left as they are.
#include "imaging/animated/TMyGifAnimation.h"
#include "platform/WinTypes.h"

#include "manipulation/TToolDialog.h"
#include <functional>

class QCheckBox;
class QComboBox;
class QListWidget;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QToolButton;

class TApplyToAllForm : public TToolDialog {
    Q_OBJECT
  public:
    explicit TApplyToAllForm(QWidget* parent = nullptr);

    // The editor's list; the names fill GifNameBox.
    void SetFrames(TFrameList* frames);
    TFrameList* FFrameList = nullptr;
    // Palette colour of a transparent entry when transparency is switched
    // on (the editor's window face) and off (its background colour).
    COLORREF WindowFaceColor = 0;
    COLORREF BackgroundColor = 0;
    // Called after an apply changed records, so that displays rebuild.
    // Wraps each apply: the chosen records, whether pictures may change,
    // and the apply itself (run at once when not set).
    std::function<void(const std::vector<TMyGifAnimation*>&, bool, const std::function<void()>&)>
        OnApply;
    std::function<void()> OnFramesChanged;

    // "Apply": asks, then changes the selected frames; "Done !" at the end.
    void BitBtn1Click();
    // The changes of one apply to one record, without asking.
    void ApplyTo(TMyGifAnimation* record);

    QListWidget* GifNameBox = nullptr;
    QToolButton* SelectAll = nullptr;
    QSpinBox* TopEdit = nullptr;
    QSpinBox* LeftEdit = nullptr;
    QSpinBox* DelaySpin = nullptr;
    QComboBox* Dispos = nullptr;
    QCheckBox* HasTransparency = nullptr;
    QCheckBox* InterlacedBox = nullptr;
    QCheckBox* LocalPal = nullptr;
    QRadioButton* Col16 = nullptr;
    QRadioButton* col256 = nullptr;
    QRadioButton* BAYER = nullptr;
    QRadioButton* BURKES = nullptr;
    QRadioButton* FLOYD = nullptr;
    QRadioButton* GRAY = nullptr;
    QCheckBox* TopBox = nullptr;
    QCheckBox* LeftBox = nullptr;
    QCheckBox* DelayBox = nullptr;
    QCheckBox* DisPosBox = nullptr;
    QCheckBox* TransBox = nullptr;
    QCheckBox* IntLaBox = nullptr;
    QCheckBox* PalBox = nullptr;
    QCheckBox* ColBox = nullptr;
    QPushButton* BitBtn1 = nullptr; // Apply
    QToolButton* CloseWindow = nullptr;
};
