#include "editor/TPalMan.h"

#include "app/ModalResult.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace {

QLabel* Explanation(QWidget* parent, const QString& text, int y, int height) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setGeometry(30, y, 300, height);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

TPalMan::TPalMan(QWidget* parent)
    : TToolDialog(parent, "PalMan", "Palette Management", 340, 250, "") {
    QWidget* client = Client;

    OptimzePalette = new QRadioButton("Optimize Palette", client);
    OptimzePalette->setObjectName("OptimzePalette");
    OptimzePalette->setGeometry(10, 8, 320, 20);
    OptimzePalette->setChecked(true);
    Explanation(client,
                "Best Choice. This will generate an optimized palette from the Current color "
                "palette. All selected frames will then be matched with this optimized color "
                "palette.",
                28, 60);
    CopyPalette = new QRadioButton("Copy Palette", client);
    CopyPalette->setObjectName("CopyPalette");
    CopyPalette->setGeometry(10, 94, 320, 20);
    Explanation(client,
                "Replace the color palette from all selected frames with the current active "
                "color palette. Be aware that this choice can destroy your frames. ONLY APPLY "
                "THIS WHEN ALL PALETTES ARE THE SAME AND YOU CHANGE SEVERAL COLORS WHICH YOU "
                "WANT TO APPLY TO ALL FRAMES",
                114, 96);

    OKBtn = new QPushButton("OK", client);
    OKBtn->setObjectName("OKBtn");
    OKBtn->setGeometry(86, 216, 75, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(mrOk); });
    CancelBtn = new QPushButton("Cancel", client);
    CancelBtn->setObjectName("CancelBtn");
    CancelBtn->setGeometry(180, 216, 75, 25);
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(mrCancel); });
}
