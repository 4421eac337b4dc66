#pragma once
// The program's confirmation window: one instance (YesNo, SharedForms.h)
// asks every yes/no question. A caller sets the question in Cap and shows
// it modally; only mrYes confirms.
#include <QDialog>

class QLabel;
class QPushButton;
class TMSOfficeCaption;

class TYesNo : public QDialog {
    Q_OBJECT
  public:
    explicit TYesNo(QWidget* parent = nullptr);

    // Sets the question, shows the window modally and answers whether Yes
    // was chosen; No, Escape and the close box all answer false.
    bool Ask(const QString& question);

    QWidget* Client = nullptr; // the 367 x 112 client area
    QLabel* Cap = nullptr;
    QPushButton* BitBtn1 = nullptr; // Yes
    QPushButton* BitBtn2 = nullptr; // No
    TMSOfficeCaption* MSOfficeCaption1 = nullptr;

  public slots:
    // The close box and Escape end the window with mrCancel, which no
    // caller takes for Yes.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
};
