#include "MainFormFixtures.h"

#include "platform/Message.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QWidget>
#include <cstdlib>
#include <functional>
#include <stdexcept>

namespace mainform {

void WriteGif(const std::filesystem::path& path, const std::vector<std::string>& colours, int w,
              int h) {
    std::string command = "/usr/bin/convert -delay 10 -loop 0";
    for (const std::string& colour : colours)
        command += " -size " + std::to_string(w) + "x" + std::to_string(h) + " xc:" + colour;
    command += " '" + path.string() + "'";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("convert failed: " + command);
}

void WriteStill(const std::filesystem::path& path, QColor colour, int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    if (!image.save(QString::fromStdString(path.string())))
        throw std::runtime_error("cannot write " + path.string());
}

namespace {
void Catch(const char* text, void* user) {
    static_cast<std::vector<std::string>*>(user)->push_back(text ? text : "");
}
} // namespace

CaughtMessages::CaughtMessages() {
    SetMessageHandler(&Catch, &texts);
}

CaughtMessages::~CaughtMessages() {
    SetMessageHandler(nullptr, nullptr);
}

KeepCurrentFolder::KeepCurrentFolder() : FSaved(QDir::currentPath()) {}

KeepCurrentFolder::~KeepCurrentFolder() {
    QDir::setCurrent(FSaved);
}

QColor PixelOf(QWidget* widget, int x, int y) {
    return widget->grab().toImage().pixelColor(x, y);
}

bool WaitUntil(const std::function<bool()>& condition, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

} // namespace mainform
