#pragma once
// The windows made once at start-up and shared by every caller (the
// confirmation and status windows), and the set-up every small window of
// the program shares: a fixed client area below the caption painter's bar,
// the painter with the program's texts, centring on the screen.
//
// This header names the painter only by declaration: the painter's and the
// still-image component's headers both define bsNone, so no file may
// include both.
#include <QString>

class QWidget;
class TMSOfficeCaption;
class TStatusForm;
class TYesNo;

// Made by CreateSharedForms, freed by DestroySharedForms; nullptr outside.
extern TYesNo* YesNo;
extern TStatusForm* StatusForm;

// Called once by the program entry after the main window is made.
void CreateSharedForms();
void DestroySharedForms();

// Asks the question in the confirmation window; true only for Yes.
// Makes the shared forms first when the program has not.
bool ConfirmYes(const QString& question);

// Gives the window a client area of the given size whose children are
// placed in client coordinates; the window takes the client size plus
// whatever frame and title bar the caption painter adds.
QWidget* MakeClientArea(QWidget* window, int width, int height);

// The title bars of the program's small windows.
enum class CaptionKind {
    ToolWindow,      // small bar with a close button
    ToolWindowPlain, // small bar without buttons
    Dialog,          // dialog frame with a close button
};
// Puts the caption painter on the window with the program's texts:
// "Quillon -" (bold italic), "Zentrope -" (bold), then the window caption.
TMSOfficeCaption* AttachCaption(QWidget* window, CaptionKind kind);

// Moves the window to the middle of its screen.
void CenterOnScreen(QWidget* window);
