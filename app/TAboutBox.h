#pragma once
// The about window: the splash picture, who makes the program and how to
// reach them, the imaging library's version and credits that rise line by
// line in a still-image component. Made for one showing, modal.
#include <QDialog>

class QLabel;
class QTimer;
class TMSOfficeCaption;
class TPMultiImage;

class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Shows a fresh about window modally over the owner and frees it.
    static void ShowAbout(QWidget* owner);

    // The credit lines, in the order they rise.
    static const QStringList& CreditTexts();

    QWidget* Client = nullptr;            // the 554 x 293 client area
    TPMultiImage* Image1 = nullptr;       // the splash picture, stretched
    QLabel* Label2 = nullptr;             // the maker
    QLabel* Label3 = nullptr;             // what the maker does
    QLabel* Label4 = nullptr;             // web address
    QLabel* Label5 = nullptr;             // mail address
    QLabel* Label1 = nullptr;             // the imaging library's version line
    QLabel* Label6 = nullptr;             // copyright
    TPMultiImage* PMultiImage1 = nullptr; // the credits
    QTimer* Timer1 = nullptr;             // 10 ms, runs while the window shows
    TMSOfficeCaption* MSOfficeCaption1 = nullptr;

  protected:
    void FormShow();
    void FormHide();
    void FormActivate();
    void Timer1Timer();

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
};
