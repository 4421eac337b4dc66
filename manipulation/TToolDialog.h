#pragma once
// What the picture dialogs share: a fixed client area under the painted
// tool-window caption, centring on the screen each time they show, F1 on the
// window or any of its controls opening the dialog's help topic, and the
// close box or Escape ending the dialog with mrCancel.
#include <QDialog>
#include <QString>
#include <string>

class QPushButton;
class TMSOfficeCaption;

class TToolDialog : public QDialog {
    Q_OBJECT
  public:
    // helpTopic "" = F1 opens nothing.
    TToolDialog(QWidget* parent, const char* name, const QString& caption, int clientWidth,
                int clientHeight, std::string helpTopic);

    const std::string& HelpTopic() const { return FHelpTopic; }

    QWidget* Client = nullptr;
    TMSOfficeCaption* MSOfficeCaption1 = nullptr;

    // Names the control and gives it its hint (tool tip and status tip).
    template <class T> static T* Hinted(T* control, const char* name, const QString& hint = {}) {
        control->setObjectName(name);
        if (!hint.isEmpty()) {
            control->setToolTip(hint);
            control->setStatusTip(hint);
        }
        return control;
    }

  public slots:
    void reject() override;

  protected:
    // "All Frames" and "This Frame", which close with mrOk and say in
    // allFrames which was pressed, and "Cancel"; 75 x 25 each at y.
    void AddFrameButtons(int y, int allX, int thisX, int cancelX, bool& allFrames,
                         QPushButton*& all, QPushButton*& current, QPushButton*& cancel);
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::string FHelpTopic;
};
