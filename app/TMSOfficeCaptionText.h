#pragma once
// The three texts of the caption painter's title bar: company, application
// name and the window's own caption. Each has its own font and colours.
#include "platform/WinTypes.h"
#include <QFont>
#include <QString>

class TMSOfficeCaption;

// Where a text's font comes from. fkSystem* are copies of the caption font
// with the named styles; fkAutoHeight keeps the face but matches the caption
// font's character height; fkCustom is whatever was set last.
enum TFontKind { fkCustom, fkSystem, fkSystemI, fkSystemB, fkSystemBI, fkAutoHeight };

class TCompanyText {
  public:
    // Starts as a copy of the painter's caption font, fkSystem, visible, in the
    // system's caption text colours.
    explicit TCompanyText(TMSOfficeCaption& owner);
    virtual ~TCompanyText() = default;
    TCompanyText(const TCompanyText&) = delete;
    TCompanyText& operator=(const TCompanyText&) = delete;

    virtual QString Caption() const { return FCaption; }
    virtual void SetCaption(const QString& caption);
    COLORREF ColorActive() const { return FColorActive; }
    void SetColorActive(COLORREF colour);
    COLORREF ColorInactive() const { return FColorInactive; }
    void SetColorInactive(COLORREF colour);
    const QFont& Font() const { return FFont; }
    // Copies the font; it becomes fkCustom unless the kind is fkAutoHeight,
    // in which case its height is fitted to the caption font.
    void SetFont(const QFont& font);
    TFontKind FontKind() const { return FFontKind; }
    void SetFontKind(TFontKind kind);
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);

  protected:
    void Changed();

    TMSOfficeCaption& FOwner;
    QString FCaption;

  private:
    COLORREF FColorActive;
    COLORREF FColorInactive;
    QFont FFont;
    TFontKind FFontKind = fkSystem;
    bool FVisible = true;
};

class TAppNameText : public TCompanyText {
  public:
    using TCompanyText::TCompanyText;
};

// The owner window's title: reading and writing go straight to the window.
class TCaptionText : public TCompanyText {
  public:
    using TCompanyText::TCompanyText;
    QString Caption() const override;
    void SetCaption(const QString& caption) override;
};
