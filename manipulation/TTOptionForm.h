#pragma once
// "Text Options": the text, font, text colour and background of the text
// label the editor writes onto frames, with a sample. Either button that
// applies closes with mrOk; Commit says whether the text is to be burnt
// into the frames or only shown.
#include "manipulation/TToolDialog.h"

#include <QColor>
#include <QFont>

class QCheckBox;
class QColorDialog;
class QFontDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TTOptionForm : public TToolDialog {
    Q_OBJECT
  public:
    explicit TTOptionForm(QWidget* parent = nullptr);

    // From the label: its text, font, text colour (a font carries none in
    // Qt), background colour and transparency; refreshes the sample.
    void Load(const QString& text, const QFont& font, const QColor& fontColor, const QColor& color,
              bool transparent);

    QString Text() const;
    QFont Font() const { return FFont; }
    QColor FontColor() const { return FFontColor; }
    // The background colour.
    QColor Color() const { return FColor; }
    bool Transparent() const;
    bool Commit = false;

    // The sample takes the font, colours, transparency and text.
    void RefreshSample();
    void FontBtnClick();
    void ColorBtnClick();

    QLabel* Label1 = nullptr; // "Text"
    QLineEdit* Edit1 = nullptr;
    QLabel* Label2 = nullptr; // the note on fonts
    QLabel* Label3 = nullptr; // the sample
    QPushButton* FontBtn = nullptr;
    QCheckBox* TransparentBox = nullptr;
    QGroupBox* BackgroundGroup = nullptr;
    QPushButton* ColorBtn = nullptr;
    QPushButton* CommitBtn = nullptr;
    QPushButton* ViewBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QFontDialog* FontDialog1 = nullptr;
    QColorDialog* ColorDialog1 = nullptr;
    // The text colour's button inside the font dialog's effects, where the
    // platform's font dialog has its colour choice.
    QPushButton* FontColorBtn = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QFont FFont;
    QColor FFontColor{Qt::black};
    QColor FColor{Qt::white};
    // The text colour while the font dialog is open; taken only on OK.
    QColor FPendingFontColor;
};
