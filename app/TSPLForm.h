#pragma once
// The splash window shown while the program starts: borderless, on top,
// centred, closing itself when its timer runs out or when clicked, and
// freeing itself when closed.
#include <QWidget>

class QFrame;
class QLabel;
class QTimer;
class TPMultiImage;

class TSPLForm : public QWidget {
    Q_OBJECT
  public:
    // How long the splash stays: without a file to open, and with one.
    static constexpr int DefaultInterval = 6000; // milliseconds
    static constexpr int FileInterval = 1000;    // milliseconds

    explicit TSPLForm(QWidget* parent = nullptr);

    QFrame* Panel1 = nullptr;
    QLabel* Label1 = nullptr; // title
    QLabel* Label2 = nullptr; // "(tm)"
    QLabel* Label3 = nullptr; // maker text, first line (closes on click)
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    TPMultiImage* PMultiImage1 = nullptr;
    QTimer* Timer1 = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormShow();
    void CloseSplash();
};
