#include "capture/TTwainMan.h"

#include "app/ModalResult.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

QRadioButton* Way(QWidget* parent, const char* name, const QString& caption, const QString& text,
                  int y) {
    auto* button = TToolDialog::Hinted(new QRadioButton(caption, parent), name);
    button->setGeometry(12, y, 372, 20);
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setGeometry(32, y + 20, 352, 44);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return button;
}

} // namespace

TTwainMan::TTwainMan(QWidget* parent)
    : TToolDialog(parent, "TwainMan", "Twain Options", 396, 286, "") {
    iSingle = Way(Client, "iSingle", "Aqcuire a Single Image",
                  "This Execute the Twain manager provided by your twain device vendor and "
                  "acquires a single image",
                  10);
    iSingle->setChecked(true);
    iMultiScan = Way(Client, "iMultiScan", "Acquire multiple Images from a scanner",
                     "Scans a batch of images and add them to the animated gif. In order to use "
                     "this function you need a scanner with an Automatic document feeder.",
                     82);
    iMultiCam = Way(Client, "iMultiCam", "Acquire multiple Images from a digital camara",
                    "Acquires a batch of images and add them to the animated gif.  In order to use "
                    "this function you need a digital camara.",
                    154);
    auto* ok = Hinted(new QPushButton("OK", Client), "OKBtn");
    ok->setGeometry(214, 250, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { done(mrOk); });
    auto* cancel = Hinted(new QPushButton("Cancel", Client), "CancelBtn");
    cancel->setGeometry(300, 250, 75, 25);
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}
