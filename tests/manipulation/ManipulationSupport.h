#pragma once
// Frames whose pixels name their coordinates, and mouse drags.
#include "app/dialogs/ModalDriver.h"
#include "imaging/stillview/StillViewSupport.h"
#include "platform/TBitmap.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QDialog>

namespace manip {

using stillview::Mouse;
using stillview::Source; // pixel (x, y) of a frame, coordinates modulo 256

inline void MakeFrame(zp::TBitmap& frame, int w, int h) {
    testsupport::widgetApp();
    frame.setHandle(ImageToDeviceBitmap(stillview::CoordinateImage(w, h)));
}

inline void Drag(QWidget* w, QPoint from, QPoint to) {
    Mouse(*w, QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(*w, QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(*w, QEvent::MouseButtonRelease, to, Qt::LeftButton);
}

// Presses the button once the dialog runs; answers the modal result.
inline int PressIn(QDialog& dialog, QAbstractButton* button) {
    dialogtest::OnModal([button](QWidget*) { button->click(); });
    return dialog.exec();
}

// Picks the colour in the colour dialog that opens next.
inline void ChooseColour(QColor colour) {
    dialogtest::OnModal([colour](QWidget* modal) {
        auto* dialog = qobject_cast<QColorDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialog->setCurrentColor(colour);
        dialog->accept();
    });
}

} // namespace manip
