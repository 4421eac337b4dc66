#pragma once
// Drives a real modal window from inside its own event loop: the action
// runs once the window is the active modal widget. A window the action
// leaves open is closed after a few seconds with a failure, so a broken
// dialog fails the test instead of hanging it.
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace dialogtest {

inline void OnModal(std::function<void(QWidget*)> action) {
    auto* poll = new QTimer;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(poll, &QTimer::timeout, [poll, clock, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            poll->stop();
            poll->deleteLater();
            QPointer<QWidget> watched = modal;
            QTimer::singleShot(4000, [watched] {
                if (watched && watched->isVisible()) {
                    ADD_FAILURE() << "the modal window stayed open";
                    watched->close();
                }
            });
            action(modal);
        } else if (clock->elapsed() > 4000) {
            poll->stop();
            poll->deleteLater();
            ADD_FAILURE() << "no modal window showed";
        }
    });
    poll->start(5);
}

inline void PressKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

// Lets queued events and timers run for about the given time.
inline void RunFor(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Bounds of the pixels within `tolerance` of a colour; empty when none.
inline QRect InkBounds(const QImage& image, QRgb ink, int tolerance = 40) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            if (std::abs(qRed(p) - qRed(ink)) < tolerance &&
                std::abs(qGreen(p) - qGreen(ink)) < tolerance &&
                std::abs(qBlue(p) - qBlue(ink)) < tolerance)
                bounds |= QRect(x, y, 1, 1);
        }
    return bounds;
}

} // namespace dialogtest
