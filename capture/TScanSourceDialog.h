#pragma once
// The source chooser that stands in for the TWAIN "Select Source" window:
// the connected scanners and cameras, the current one selected.
#include "manipulation/TToolDialog.h"
#include "platform/Scanner.h"

class QListWidget;

class TScanSourceDialog : public TToolDialog {
    Q_OBJECT
  public:
    TScanSourceDialog(QWidget* parent, const ScanDeviceInfo* devices, int32_t count,
                      int32_t current);

    QListWidget* Sources = nullptr;

    // The scanner library's ChooseSource dialog: the index chosen or -1.
    static int32_t Choose(HWNDLIKE owner, const ScanDeviceInfo* devices, int32_t count,
                          int32_t current, void* user);
};
