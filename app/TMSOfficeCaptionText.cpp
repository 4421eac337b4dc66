#include "app/TMSOfficeCaptionText.h"
#include "app/TMSOfficeCaption.h"
#include "platform/Gdi.h"
#include <QWidget>

TCompanyText::TCompanyText(TMSOfficeCaption& owner)
    : FOwner(owner), FColorActive(GetSysColor(COLOR_CAPTIONTEXT)),
      FColorInactive(GetSysColor(COLOR_INACTIVECAPTIONTEXT)), FFont(owner.CaptionFont()) {}

void TCompanyText::Changed() {
    FOwner.Changed();
}

void TCompanyText::SetCaption(const QString& caption) {
    FCaption = caption;
    Changed();
}

void TCompanyText::SetColorActive(COLORREF colour) {
    FColorActive = colour;
    Changed();
}

void TCompanyText::SetColorInactive(COLORREF colour) {
    FColorInactive = colour;
    Changed();
}

void TCompanyText::SetFont(const QFont& font) {
    FFont = font;
    if (FFontKind == fkAutoHeight)
        FOwner.FitFontHeight(FFont);
    else
        FFontKind = fkCustom;
    Changed();
}

void TCompanyText::SetFontKind(TFontKind kind) {
    FFontKind = kind;
    switch (kind) {
    case fkSystem:
    case fkSystemI:
    case fkSystemB:
    case fkSystemBI:
        FFont = FOwner.CaptionFont();
        if (kind == fkSystemI || kind == fkSystemBI) FFont.setItalic(true);
        if (kind == fkSystemB || kind == fkSystemBI) FFont.setBold(true);
        break;
    case fkAutoHeight:
        FOwner.FitFontHeight(FFont);
        break;
    case fkCustom:
        break;
    }
    Changed();
}

void TCompanyText::SetVisible(bool visible) {
    FVisible = visible;
    Changed();
}

QString TCaptionText::Caption() const {
    const QWidget* window = FOwner.Owner();
    if (!window) return FCaption;
    // The "[*]" placeholder shows as "*" only while the window is modified,
    // as in Qt's own title bars.
    QString title = window->windowTitle();
    title.replace(QStringLiteral("[*]"),
                  window->isWindowModified() ? QStringLiteral("*") : QString());
    return title;
}

void TCaptionText::SetCaption(const QString& caption) {
    FCaption = caption;
    // The bar repaints itself when the title changes.
    if (QWidget* window = FOwner.Owner()) window->setWindowTitle(caption);
}
