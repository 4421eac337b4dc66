#pragma once
// The import selector: the frames of a GIF file in a three-column list to
// pick from (shift and ctrl select several), with the clicked frame shown
// in an animated-image component. The editor fills the list, shows the
// selector modally and copies the picked frames; the component, and with it
// the frames it loaded, goes with the selector. Only mrOk accepts.
#include <QDialog>

class PVWebImage;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;

class TGifframeselector : public QDialog {
    Q_OBJECT
  public:
    explicit TGifframeselector(QWidget* parent = nullptr);

    // The selected entries' rows, in list (source) order.
    QList<int> SelectedRows() const;
    // A click on an entry: shows that frame.
    void GifNameBoxClick();

    QListWidget* GifNameBox = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    PVWebImage* AniGifImage1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

  public slots:
    // Escape and the close box end the window with mrCancel.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
};
