#pragma once
// The what's-this popup: a borderless tip window that explains one editor
// control, placed beside the control, closed by any click or key. One
// popup at a time: ShowWhatsThis does nothing while one is open.
#include <QDialog>
#include <QPointer>

class QFrame;
class QLabel;

class TWhatsThisForm : public QDialog {
    Q_OBJECT
  public:
    explicit TWhatsThisForm(QWidget* parent = nullptr);

    // Shows the text and sizes the popup to it: the label's width + 12 by
    // its height + 30 (room for the closing hint below).
    void SetWhatsThisText(const QString& text);

    QFrame* Bevel1 = nullptr;
    QLabel* Txt = nullptr;
    QLabel* Label1 = nullptr; // " Click to close"

  protected:
    void FormClick();
    void FormKeyDown(int key);
    void FormMouseDown(Qt::MouseButton button);
    void FormResize();

    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

// True while a popup is open; it keeps a second popup away and the target
// unchanged.
extern bool WhatsThisShowing;
// The control the popup explains: the control last pressed in the editor.
// Guarded, so a control freed since reads as none.
extern QPointer<QWidget> WhatsThisTarget;

// Opens the popup with the text beside WhatsThisTarget (below it, or above
// it near the bottom of the screen; moved left near the right edge) and
// waits until it is closed. Nothing happens for an empty text or while a
// popup is open.
void ShowWhatsThis(const QString& text);

// The explanation of an editor control, by its object name; empty for a
// control that has none.
QString WhatsThisTextFor(const QString& targetName);
