#include "capture/TRegionPicker.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

TRegionPicker::TRegionPicker(QWidget* parent) : QDialog(parent) {
    setObjectName("RegionPicker");
    setWindowTitle("Drag out the region to record");
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    setCursor(Qt::CrossCursor);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) {
        // What is on the screen now, so that the user sees what is picked.
        FScreen = screen->grabWindow(0);
        setGeometry(screen->geometry());
    }
}

void TRegionPicker::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!FScreen.isNull())
        painter.drawPixmap(rect(), FScreen);
    else
        painter.fillRect(rect(), Qt::darkGray);
    painter.fillRect(rect(), QColor(0, 0, 0, 90));
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(0, 20, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                     "Drag out the region to record. Escape cancels.");
    if (FDragging || FRegion.isValid()) {
        const QRect local = FRegion.translated(-geometry().topLeft());
        if (!FScreen.isNull()) painter.drawPixmap(local, FScreen, local);
        painter.setPen(QPen(Qt::red, 1, Qt::DashLine));
        painter.drawRect(local.adjusted(0, 0, -1, -1));
    }
}

void TRegionPicker::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    FDragging = true;
    FAnchor = event->globalPosition().toPoint();
    FRegion = QRect(FAnchor, QSize(1, 1));
    update();
}

void TRegionPicker::mouseMoveEvent(QMouseEvent* event) {
    if (!FDragging) return;
    FRegion = QRect(FAnchor, event->globalPosition().toPoint()).normalized();
    update();
}

void TRegionPicker::mouseReleaseEvent(QMouseEvent* event) {
    if (!FDragging || event->button() != Qt::LeftButton) return;
    FDragging = false;
    FRegion = QRect(FAnchor, event->globalPosition().toPoint()).normalized();
    if (FRegion.width() >= MinSide && FRegion.height() >= MinSide)
        accept();
    else
        update();
}

void TRegionPicker::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        FRegion = QRect();
        reject();
        return;
    }
    QDialog::keyPressEvent(event);
}
