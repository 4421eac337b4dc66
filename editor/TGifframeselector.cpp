#include "editor/TGifframeselector.h"

#include "app/ModalResult.h"
#include "app/SharedForms.h"
#include "imaging/animated/PVWebImage.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>

namespace {

constexpr int kListWidth = 450;
constexpr int kColumns = 3;

} // namespace

TGifframeselector::TGifframeselector(QWidget* parent) : QDialog(parent) {
    setObjectName("Gifframeselector");
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle("Import The selected frames");
    QWidget* client = MakeClientArea(this, 680, 292);

    // Entries run down the columns and the list scrolls sideways, three
    // columns to a page.
    GifNameBox = new QListWidget(client);
    GifNameBox->setObjectName("GifNameBox");
    GifNameBox->setGeometry(8, 8, kListWidth, 200);
    GifNameBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
    GifNameBox->setFlow(QListView::TopToBottom);
    GifNameBox->setWrapping(true);
    GifNameBox->setResizeMode(QListView::Adjust);
    GifNameBox->setUniformItemSizes(true);
    GifNameBox->setGridSize(
        QSize((kListWidth - 4) / kColumns, GifNameBox->fontMetrics().height() + 2));
    connect(GifNameBox, &QListWidget::itemClicked, this, [this] { GifNameBoxClick(); });

    ScrollBox1 = new QScrollArea(client);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setGeometry(466, 8, 206, 200);
    AniGifImage1 = new PVWebImage;
    AniGifImage1->setObjectName("AniGifImage1");
    AniGifImage1->SetAutoSize(true);
    ScrollBox1->setWidget(AniGifImage1);

    Label1 = new QLabel("Hold down the shift or ctrl key and select with the mouse button which "
                        "frame(s) you want to insert.",
                        client);
    Label1->setObjectName("Label1");
    Label1->setGeometry(8, 214, 664, 34);
    Label1->setWordWrap(true);

    auto button = [&](QPushButton*& b, const char* name, const QString& caption, int x) {
        b = new QPushButton(caption, client);
        b->setObjectName(name);
        b->setGeometry(x, 256, 75, 25);
    };
    button(OKBtn, "OKBtn", "OK", 218);
    button(CancelBtn, "CancelBtn", "Cancel", 303);
    button(HelpBtn, "HelpBtn", "&Help", 388);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

QList<int> TGifframeselector::SelectedRows() const {
    QList<int> rows;
    for (int i = 0; i < GifNameBox->count(); ++i)
        if (GifNameBox->item(i)->isSelected()) rows << i;
    return rows;
}

void TGifframeselector::GifNameBoxClick() {
    const int row = GifNameBox->currentRow();
    if (row < 0) return;
    AniGifImage1->ShowFrame(row);
    AniGifImage1->Paint();
}

void TGifframeselector::reject() {
    done(mrCancel);
}

void TGifframeselector::showEvent(QShowEvent* event) {
    CenterOnScreen(this);
    QDialog::showEvent(event);
}
