#include "manipulation/PreviewPlacement.h"

#include "imaging/still/TPMultiImage.h"

#include <QFrame>
#include <QScrollArea>

namespace {

template <class T> T* Named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

} // namespace

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

void MakePreview(QWidget* client, QFrame*& panel, QScrollArea*& box, TPMultiImage*& image) {
    panel = Named(new QFrame(client), "Panel1");
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(1);
    panel->setGeometry(8, 8, 417, 257);
    box = Named(new QScrollArea(panel), "ScrollBox1");
    box->setGeometry(panel->contentsRect());
    box->setFrameShape(QFrame::NoFrame);
    box->setWidgetResizable(false);
    image = Named(new TPMultiImage, "PMultiImage1");
    image->SetAutoSize(true);
    image->SetScrolling(true);
    image->SetShowScrollbars(true);
    image->AllowRubberBand = true;
    image->Loaded();
    box->setWidget(image);
}
