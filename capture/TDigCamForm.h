#pragma once
// The camera window: the batch scanning window without preview, area and
// settings. Every picture the camera delivers is reduced to 256 or 16
// colours (Burkes dithering) and kept as a frame record. The frame number
// starts at 0 when the window is made and keeps counting across runs.
#include "capture/TAcquireForm.h"

class TPMultiImage;

class TDigCamForm : public TAcquireForm {
    Q_OBJECT
  public:
    explicit TDigCamForm(QWidget* parent);
    ~TDigCamForm() override;

    TPMultiImage* PMultiImage1 = nullptr;

    void MultiplePagesClick();

  private:
    int16_t CameraImageArrived(uintptr_t dib);
    static int16_t PageCallback(uintptr_t dib, void* user);
};
