#pragma once
// The program's status window: one instance (StatusForm, SharedForms.h)
// shows the step a long operation is at ("Adding frame 3"). It is shown
// without modality, so the operation runs on while it shows; each step
// lets pending events run so the text is painted.
#include <QWidget>

class QLabel;
class TMSOfficeCaption;

class TStatusForm : public QWidget {
    Q_OBJECT
  public:
    explicit TStatusForm(QWidget* parent = nullptr);

    // Shows the window with the text; centred when it was hidden.
    void ShowStatus(const QString& text);
    // Sets the text and lets pending events run, so it shows at once.
    void SetStatus(const QString& text);
    void HideStatus();

    QWidget* Client = nullptr; // the 282 x 77 client area
    QLabel* Stat = nullptr;
    TMSOfficeCaption* MSOfficeCaption1 = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
};
