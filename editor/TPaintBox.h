#pragma once
// A plain drawing surface: its owner paints it and answers its mouse
// presses, as the editor's preview and palette grid need.
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <functional>

class TPaintBox : public QWidget {
  public:
    explicit TPaintBox(QWidget* parent = nullptr) : QWidget(parent) {}

    std::function<void(QPainter&)> OnPaint;
    std::function<void(QMouseEvent*)> OnMouseDown;

  protected:
    void paintEvent(QPaintEvent*) override {
        if (!OnPaint) return;
        QPainter painter(this);
        OnPaint(painter);
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (OnMouseDown)
            OnMouseDown(event);
        else
            QWidget::mousePressEvent(event);
    }
};
