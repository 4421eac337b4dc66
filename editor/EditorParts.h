#pragma once
// Pieces the editor's windows share: building controls with their hints,
// switching painting off while frame data is rebuilt, the disposal items,
// and giving a record a fresh picture.
#include "editor/TSpinEdit.h"
#include "imaging/animated/DuplicateGlobalBlock.h"
#include "imaging/animated/PVAnimationModel.h"
#include "imaging/animated/PVTDib.h"
#include "imaging/animated/TMyGifAnimation.h"
#include "platform/GlobalBlock.h"
#include "platform/ScopeGuards.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QObject>
#include <QSpinBox>
#include <cstdlib>
#include <functional>
#include <memory>
#include <utility>

namespace editorparts {

inline void Hint(QWidget* w, const QString& hint) {
    w->setToolTip(hint);
    w->setStatusTip(hint);
}

inline QLabel* Caption(QWidget* parent, const QString& text, int x, int y, int width = 72) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, width, 21);
    return label;
}

// Spin edits hold what the record fields hold; typing past either end is
// clamped, never wrapped.
inline QSpinBox* Spin(QWidget* parent, const char* name, int x, int y, int lo, int hi,
                      const QString& hint) {
    auto* spin = new TSpinEdit(parent);
    spin->setObjectName(name);
    spin->setRange(lo, hi);
    spin->setKeyboardTracking(true);
    spin->setGeometry(x, y, 62, 22);
    Hint(spin, hint);
    return spin;
}

inline QLabel* ColourPanel(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* panel = new QLabel(parent);
    panel->setObjectName(name);
    panel->setGeometry(x, y, w, h);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    panel->setAlignment(Qt::AlignCenter);
    panel->setAutoFillBackground(true);
    return panel;
}

// Press on a panel: the lambda gets the button.
class PressFilter : public QObject {
  public:
    PressFilter(QObject* parent, std::function<void(Qt::MouseButton)> onPress)
        : QObject(parent), FOnPress(std::move(onPress)) {}

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress)
            FOnPress(static_cast<QMouseEvent*>(event)->button());
        return false;
    }

  private:
    std::function<void(Qt::MouseButton)> FOnPress;
};

// Clears PaintingEnabled while frame data is rebuilt; sets it again on
// every way out.
struct PaintingOff : zp::ScopedFlag {
    PaintingOff() : zp::ScopedFlag(PaintingEnabled, false) {}
};

// The disposal combo's items "None", "Not dispose", "Erase", "Overwrite"
// store these values; 3 (restore) has no item.
inline constexpr uint8_t kDisposalOfItem[4] = {0, 1, 2, 4};

inline int ItemOfDisposal(uint8_t disposal) {
    for (int i = 0; i < 4; ++i)
        if (kDisposalOfItem[i] == disposal) return i;
    return -1;
}

// The record takes `picture` (0 = none is refused: the record keeps its
// picture); its previous block is unlocked and freed.
inline bool GivePicture(TMyGifAnimation* record, HGLOBAL picture) {
    if (!record || !picture) return false;
    zp::GlobalBlock::freeFully(record->DibHandle);
    record->DibHandle = picture;
    return true;
}

// A colour count as the records hold it: 255 stands for 256.
inline uint8_t ColourCountField(uint32_t colours) {
    return colours >= 256 ? 255 : uint8_t(colours);
}

// A working picture that owns the block (0 gives an empty one).
inline std::unique_ptr<PVWebImg::PVTDib> WorkOn(HGLOBAL block) {
    auto dib = std::make_unique<PVWebImg::PVTDib>();
    if (block) dib->SetDib(GlobalLock(block));
    return dib;
}

// A working picture loaded from a copy of the block; empty when there is none.
inline std::unique_ptr<PVWebImg::PVTDib> WorkCopy(HGLOBAL picture) {
    return WorkOn(DuplicateGlobalBlock(picture));
}

// A copy of the working picture's block for a record to own; 0 for none.
inline HGLOBAL CopyOf(const PVWebImg::PVTDib& dib) {
    return dib.Dib() ? DuplicateGlobalBlock(GlobalHandle(dib.Dib())) : 0;
}

// The record takes a copy of the picture and its size; false (the record
// unchanged) when no copy could be made.
inline bool GivePictureOf(TMyGifAnimation* record, const PVWebImg::PVTDib& dib) {
    if (!GivePicture(record, CopyOf(dib))) return false;
    record->Width = int16_t(dib.Width());
    record->Height = int16_t(std::abs(dib.Height()));
    return true;
}

// Bits per pixel of a picture block; 0 when it cannot be read.
inline int BitsOf(HGLOBAL picture) {
    zp::GlobalLockGuard lock(picture);
    return lock ? lock.as<BITMAPINFOHEADER>()->biBitCount : 0;
}

inline void FreeRecord(TMyGifAnimation* record) {
    zp::GlobalBlock::freeFully(record->DibHandle);
    record->DibHandle = 0;
    delete record;
}

} // namespace editorparts
