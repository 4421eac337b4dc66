#pragma once
// Files and state the main-window tests share: fixture pictures written
// with ImageMagick and Qt, messages caught from the platform layer, and the
// process-wide current folder put back after each test.
#include <QColor>
#include <QString>

class QWidget;
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace mainform {

// An animated GIF of w x h solid frames in the given colours, 10/100 s each.
void WriteGif(const std::filesystem::path& path, const std::vector<std::string>& colours, int w,
              int h);
// A still picture in a single colour; the format follows the extension.
void WriteStill(const std::filesystem::path& path, QColor colour, int w, int h);

// Collects the texts ShowMessage shows while it lives.
class CaughtMessages {
  public:
    CaughtMessages();
    ~CaughtMessages();
    CaughtMessages(const CaughtMessages&) = delete;
    CaughtMessages& operator=(const CaughtMessages&) = delete;
    std::vector<std::string> texts;
};

// Puts the current folder back when the test ends (opening a command-line
// file changes it).
class KeepCurrentFolder {
  public:
    KeepCurrentFolder();
    ~KeepCurrentFolder();
    KeepCurrentFolder(const KeepCurrentFolder&) = delete;
    KeepCurrentFolder& operator=(const KeepCurrentFolder&) = delete;

  private:
    QString FSaved;
};

// The colour at a point of a widget's picture.
QColor PixelOf(QWidget* widget, int x, int y);
// Lets events run until the condition holds or the time runs out.
bool WaitUntil(const std::function<bool()>& condition, int milliseconds);

} // namespace mainform
