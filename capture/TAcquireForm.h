#pragma once
// What the batch scanning and camera windows share: the buffer of frame
// records they build for the editor, its buttons and texts, source
// selection, and the two callbacks the codec binding calls during a run.
//
// The editor supplies FFrameList before each showing; on OK the records
// become the editor's, on any other close they are freed here. While a run
// is going, Escape and the close box stop the run (the progress callback
// answers stop) and keep the pages that came; "Accept and close window"
// stops it too and then closes with them.
#include "imaging/animated/PVTDib.h"
#include "imaging/animated/TMyGifAnimation.h"
#include "manipulation/TToolDialog.h"

#include <memory>
#include <string>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QRadioButton;
class QStatusBar;
class QToolButton;

class TAcquireForm : public TToolDialog {
    Q_OBJECT
  public:
    TFrameList* FFrameList = nullptr;

    QToolButton* SelectSourceBtn = nullptr;
    QToolButton* CloseWindow = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QLabel* Label5 = nullptr;
    QToolButton* ScanDocumentsBtn = nullptr;
    QGroupBox* ConvertTo = nullptr;
    QRadioButton* Cls256 = nullptr;
    QRadioButton* RadioButton6 = nullptr;
    QLineEdit* BufText = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    void SelectSource();
    void ExitBtnClick();
    void SpeedButton1Click();
    void SpeedButton2Click() { ClearFrameBuffer(); }
    // Frees every buffered record, last first.
    void ClearFrameBuffer();
    // True while a run of the codec is going.
    bool Acquiring() const { return FAcquiring; }
    // Asks the running acquisition to stop after the page it is reading.
    void StopAcquiring() { FStopRequested = true; }

    void done(int result) override;
    void reject() override;

  protected:
    TAcquireForm(QWidget* parent, const char* name, const QString& caption, int width, int height,
                 const QString& requirement);
    ~TAcquireForm() override;

    virtual void SetControlsEnabled(bool enabled);
    // Runs the acquisition with the controls off; answers what it answered.
    bool RunAcquisition(const std::function<bool()>& run);
    // A record of FWorkDib's picture (a copy) named `name`, appended.
    void AppendFrameRecord(const std::string& name);
    void ShowBufferCount();
    static int16_t ScanProgress(int16_t percent, void* user);
    void showEvent(QShowEvent* event) override;

    std::unique_ptr<PVWebImg::PVTDib> FWorkDib;
    bool FBusy = false;
    int32_t FFrameNumber = 0;

  private:
    bool FAcquiring = false;
    bool FStopRequested = false;
    int FResultAfterRun = 0; // a close asked for during the run
};
