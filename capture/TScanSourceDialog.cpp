#include "capture/TScanSourceDialog.h"

#include "app/ModalResult.h"

#include <QListWidget>
#include <QPushButton>

TScanSourceDialog::TScanSourceDialog(QWidget* parent, const ScanDeviceInfo* devices, int32_t count,
                                     int32_t current)
    : TToolDialog(parent, "ScanSourceDialog", "Select Source", 320, 200, "") {
    Sources = Hinted(new QListWidget(Client), "Sources");
    Sources->setGeometry(8, 8, 304, 148);
    for (int32_t i = 0; i < count; ++i)
        Sources->addItem(QString("%1 %2 (%3)")
                             .arg(QString::fromUtf8(devices[i].Vendor),
                                  QString::fromUtf8(devices[i].Model),
                                  QString::fromUtf8(devices[i].Name)));
    Sources->setCurrentRow(current);
    auto* select = Hinted(new QPushButton("Select", Client), "SelectBtn");
    select->setGeometry(156, 166, 75, 25);
    select->setDefault(true);
    connect(select, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(Sources, &QListWidget::itemDoubleClicked, this, [this] { done(mrOk); });
    auto* cancel = Hinted(new QPushButton("Cancel", Client), "CancelBtn");
    cancel->setGeometry(237, 166, 75, 25);
    connect(cancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

int32_t TScanSourceDialog::Choose(HWNDLIKE owner, const ScanDeviceInfo* devices, int32_t count,
                                  int32_t current, void*) {
    TScanSourceDialog dialog(reinterpret_cast<QWidget*>(owner), devices, count, current);
    if (dialog.exec() != mrOk) return -1;
    return dialog.Sources->currentRow();
}
