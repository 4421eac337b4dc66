#pragma once
// The program's window until the main window lands: every animation given
// (or found in the samples folder) playing in an animated-image component,
// and the still pictures in a still-image component beside them.
#include <QTimer>
#include <QWidget>
#include <string>
#include <vector>

class PVWebImage;
class TPMultiImage;
class QLabel;

class DemoWindow : public QWidget {
    Q_OBJECT
  public:
    DemoWindow(const std::vector<std::string>& animations, const std::vector<std::string>& stills);

  private:
    void ShowNextStill();

    std::vector<PVWebImage*> FAnimations;
    TPMultiImage* FStill = nullptr;
    QLabel* FStillCaption = nullptr;
    std::vector<std::string> FStills;
    size_t FStillIndex = 0;
    // The host's 100-millisecond tick that steps every animation.
    QTimer FTimer;
};
