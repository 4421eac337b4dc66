#include "manipulation/PreviewPlacement.h"

#include "imaging/still/TPMultiImage.h"

#include <QFrame>
#include <QScrollArea>

void PlacePreview(TPMultiImage* image, QScrollArea* box, QFrame* panel) {
    if (image->Stretch() || image->StretchRatio()) {
        image->SetAutoSize(false);
        if (box->widget() == image) box->takeWidget();
        image->setParent(panel);
        const QRect client = panel->contentsRect();
        image->SetBounds(client.x(), client.y(), client.width(), client.height());
        image->show();
        box->hide();
        box->setEnabled(false);
    } else {
        if (box->widget() != image) {
            image->setParent(nullptr);
            box->setWidget(image);
            image->move(0, 0);
            image->show();
        }
        image->SetAutoSize(true);
        box->setEnabled(true);
        box->show();
    }
    image->ResetView();
}
