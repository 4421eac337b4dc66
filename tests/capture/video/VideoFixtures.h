#pragma once
// Videos made with the ffmpeg program: frame n shows n in binary as eight
// vertical stripes (white = 1, lowest bit left) under a band of many
// colours, so the frame behind every grab can be read back from its
// pixels at any display size.
#include "TestSupport.h"
#include "app/dialogs/ModalDriver.h"
#include "imaging/animated/TMyGifAnimation.h"
#include "imaging/common/DibImage.h"
#include "imaging/still/TMMOpenDialog.h"
#include "platform/GlobalBlock.h"
#include "platform/Profile.h"

#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <memory>

#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace videotest {

namespace fs = std::filesystem;

constexpr int kWidth = 160, kHeight = 120, kStripes = 8;

// `codec` is the ffmpeg output arguments for the container.
inline fs::path MakeVideo(const std::string& name, int frames, const std::string& codec) {
    const fs::path file = testsupport::tempDir("video") / name;
    const std::string command = "/usr/bin/ffmpeg -v error -y -f rawvideo -pix_fmt rgb24 -s " +
                                std::to_string(kWidth) + "x" + std::to_string(kHeight) +
                                " -r 25 -i - " + codec + " '" + file.string() + "'";
    FILE* pipe = popen(command.c_str(), "w");
    if (!pipe) return {};
    std::vector<unsigned char> rgb(size_t(kWidth) * kHeight * 3);
    for (int n = 0; n < frames; ++n) {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const bool on = (n >> (x * kStripes / kWidth)) & 1;
                unsigned char* p = &rgb[(size_t(y) * kWidth + x) * 3];
                p[0] = p[1] = p[2] = on ? 255 : 0;
                // A band of many colours above the stripes' middle, so
                // that 16 and 256 colours are both used up.
                if (y < kHeight / 4) {
                    p[0] = (unsigned char)(x * 255 / kWidth);
                    p[1] = (unsigned char)(y * 8);
                    p[2] = (unsigned char)(255 - x * 255 / kWidth);
                }
            }
        fwrite(rgb.data(), 1, rgb.size(), pipe);
    }
    return pclose(pipe) == 0 ? file : fs::path();
}

inline const fs::path& Avi(int frames = 30) {
    static const fs::path file = MakeVideo("clip.avi", frames, "-c:v mpeg4 -q:v 2");
    return file;
}

// The frame number a picture shows.
inline int FrameOf(const QImage& picture) {
    int n = 0;
    for (int b = 0; b < kStripes; ++b) {
        const int x = (2 * b + 1) * picture.width() / (2 * kStripes);
        if (qGray(picture.pixel(x, picture.height() / 2)) > 128) n |= 1 << b;
    }
    return n;
}

inline QImage PictureOf(const TMyGifAnimation* record) {
    zp::GlobalLockGuard lock(record->DibHandle);
    return dibimage::ToImage(lock.as<BITMAPINFOHEADER>()).convertToFormat(QImage::Format_RGB32);
}

// Profile files of this test alone: ctest runs tests of other programs at
// the same time, and some of them rewrite the "mci extensions" section.
inline void UsePrivateProfile() {
    setenv("ZENTROPE_HOME", testsupport::tempDir("home").c_str(), 1);
}

// Every video type the player opens, as the program seeds them.
inline void RegisterVideoTypes() {
    UsePrivateProfile();
    WriteProfileString("mci extensions", nullptr, nullptr);
    for (const char* ext : {"avi", "mp4", "webm"})
        WriteProfileString("mci extensions", ext, "MPEGVideo");
}

// Lets events run until the condition holds; generous, as sanitised
// decoding on a loaded machine is slow. False when it never held.
template <class Condition> bool WaitUntil(Condition done, int seconds = 60) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > seconds * 1000) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Runs the action once a modal window of type T is the active one (other
// modal windows may come first); fails after a generous wait.
template <class T> void OnModalOf(std::function<void(T*)> action) {
    auto* poll = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [poll, clock, action] {
        auto* modal = qobject_cast<T*>(QApplication::activeModalWidget());
        if (modal && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            action(modal);
        } else if (clock->elapsed() > 30000) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "no " << T::staticMetaObject.className() << " showed";
        }
    });
    poll->start(5);
}

// Chooses the file in the next open dialog.
inline void ChooseFile(const fs::path& file) {
    OnModalOf<TMMOpenDialog>([file](TMMOpenDialog* dialog) {
        dialog->findChild<QLineEdit*>("fileNameEdit")
            ->setText(QString::fromStdString(file.string()));
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

} // namespace videotest
