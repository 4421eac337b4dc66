#pragma once
// The caption painter: put on a window, it makes the window frameless and
// draws and runs the title bar itself - a horizontal gradient (or solid bar),
// the small window icon, three texts (company, application, caption) in their
// own fonts and colours, and the title-bar buttons; dragging the bar moves the
// window, double-clicking a sizeable window's bar maximises or restores it.
//
//     auto* caption = new TMSOfficeCaption(this); // in a window's constructor
//     caption->CompanyText().SetCaption("Quillon -");
//     caption->CompanyText().SetFontKind(fkSystemBI);
//
// The painter is a child object of its window and is freed with it; freeing
// it earlier gives the window back its system frame.
#include "app/TMSOfficeCaptionText.h"
#include "platform/WinTypes.h"
#include <QFont>
#include <QMargins>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <stdexcept>

class QPainter;
class QWidget;
class TMSOfficeCaptionBar;
class TMSOfficeCaptionEdge;

// The framework's invalid-cast error: raised when the painter's owner is not a
// window. Its text is "Invalid class typecast".
class EInvalidCast : public std::runtime_error {
  public:
    EInvalidCast() : std::runtime_error("Invalid class typecast") {}
};

// When the gradient is drawn; otherwise the bar is one solid colour.
enum TGradEnabled { geAlways, geNever, geWhenActive };

// The window's border, which decides the frame size, the caption height and
// the title-bar buttons.
#include "imaging/common/BorderStyle.h" // TFormBorderStyle

// Title-bar buttons the window asks for (a set: or them together).
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = unsigned;

class TMSOfficeCaption : public QObject {
    Q_OBJECT
  public:
    // The owner must be a window (QWidget::isWindow()), else EInvalidCast.
    // The painter becomes a child of the owner.
    explicit TMSOfficeCaption(QWidget* owner);
    ~TMSOfficeCaption() override;

    TCompanyText& CompanyText() { return FCompanyText; }
    TAppNameText& AppNameText() { return FAppNameText; }
    TCaptionText& CaptionText() { return FCaptionText; }

    // Colour at the left end of the gradient; black by default.
    COLORREF Color() const { return FColor; }
    void SetColor(COLORREF colour);
    TGradEnabled Enabled() const { return FEnabled; }
    void SetEnabled(TGradEnabled enabled);
    // Number of gradient bands, 1 to 256 (64 by default): 0 or less is
    // refused (value unchanged), above 256 is stored as 256.
    int NumColors() const { return FNumColors; }
    void SetNumColors(int count);

    // Default bsSizeable with system menu, minimize and maximize. bsNone takes
    // the title bar away and paints nothing.
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle style);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons icons);

    // Every system we run on has the new-style shell (close button at the
    // right, icon at the left, left-aligned texts); the old-shell branches are
    // kept in CaptionRect and PaintCaption for the record but never taken.
    static constexpr bool NewShell = true;

    // The caption's text area in window coordinates (right and bottom
    // exclusive), room for the buttons left out; empty for bsNone.
    QRect CaptionRect() const;
    // The recorded active state once one was received, else whether the
    // owner is the active window.
    bool IsActive() const;
    bool LastActive() const { return FLastActive; }
    bool ActiveKnown() const { return FActiveKnown; }

    // Fills rect with numColors vertical bands running from `from` to `to`.
    static void PaintGradient(QPainter& painter, COLORREF from, COLORREF to, const QRect& rect,
                              int numColors);
    // Paints the caption area (CaptionRect) in window coordinates: background,
    // icon and texts. Nothing for bsNone.
    void PaintCaption(QPainter& painter, bool active);

    // Which texts the last PaintCaption drew (after the fitting rule).
    struct DrawnTexts {
        bool Company = false;
        bool AppName = false;
        bool Caption = false;
        QString CaptionShown; // the caption as drawn, elided when it did not fit
    };
    DrawnTexts LastDrawn() const { return FLastDrawn; }

    // The system's title-bar font, the base of every fkSystem* text font.
    const QFont& CaptionFont() const { return FCaptionFont; }
    void ReadCaptionFont();
    // Changes the font's height so its character height is the caption font's.
    void FitFontHeight(QFont& font) const;

    QWidget* Owner() const { return FOwner; }
    // The title-bar widget at the top of the owner; nullptr for bsNone.
    QWidget* TitleBar() const;
    // Frame thickness around the window for the current style (0 for bsNone).
    int FrameWidth() const;
    int FrameHeight() const;
    // Caption height: small for tool windows.
    int CaptionHeight() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class TCompanyText;
    void Changed();       // a property changed: repaint the bar
    void SystemChanged(); // fonts or theme changed: re-read, re-apply kinds
    void ApplyStyle();    // frameless, margins, bar and edges for the style
    void LayoutChrome();
    void RestoreOwner();
    bool IsToolWindow() const;

    QPointer<QWidget> FOwner;
    // Before the texts: they start from a copy of it.
    QFont FCaptionFont;
    TCompanyText FCompanyText;
    TAppNameText FAppNameText;
    TCaptionText FCaptionText;
    COLORREF FColor = 0;
    TGradEnabled FEnabled = geAlways;
    int FNumColors = 64;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    bool FLastActive = true;
    bool FActiveKnown = false;
    DrawnTexts FLastDrawn;
    // What the owner had before, given back when the painter goes.
    Qt::WindowFlags FOldFlags;
    QMargins FOldMargins;
    QPointer<TMSOfficeCaptionBar> FBar;
    QPointer<TMSOfficeCaptionEdge> FEdges[3]; // left, right, bottom
};
