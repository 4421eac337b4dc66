#pragma once
// "Multi Image Scanning ": a batch of pages through a scanner's document
// feeder, each page a frame record in the buffer. A low-resolution preview
// of the whole page (8.5 x 14 inches at 20 pixels an inch in Panel5) lets
// the user place the scan area, a rectangle with red sizing handles, whose
// edges the labels show in inches.
#include "capture/TAcquireForm.h"

#include <QPointer>

class QComboBox;
class QFrame;
class QSpinBox;
class TStretchHandle;

class TTwainForm : public TAcquireForm {
    Q_OBJECT
  public:
    explicit TTwainForm(QWidget* parent);
    ~TTwainForm() override;

    QToolButton* ScanImagesBtn = nullptr;
    QSpinBox* nPages = nullptr;
    QSpinBox* NBright = nullptr;
    QSpinBox* NCont = nullptr;
    QSpinBox* DPI = nullptr;
    QComboBox* Scol = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* ll = nullptr;
    QLabel* tt = nullptr;
    QLabel* ww = nullptr;
    QLabel* hh = nullptr;
    QFrame* Panel5 = nullptr;
    QLabel* Image1 = nullptr;
    QWidget* Sizer = nullptr;
    QPointer<TStretchHandle> FStretchHandle;

    // The scan area in inches.
    double FScanLeft = 0, FScanTop = 0, FScanRight = 4.5, FScanBottom = 6.5;

    void ScanImagesBtnClick();
    void MultiplePagesClick();
    // After every move or resize of the area rectangle.
    void UpdateScanArea();

  protected:
    void SetControlsEnabled(bool enabled) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int32_t ScanType() const;
    void SizerPaint();
    int16_t ScanPageArrived(uintptr_t dib);
    static int16_t PageCallback(uintptr_t dib, void* user);

    bool FPlacingArea = false;
};
