#pragma once
// The editor's save choice: all frames or the selected ones, to one file or
// to a file per frame, with or without the comment blocks. Shown modally;
// only mrOk accepts.
#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;
class QRadioButton;

class TAllOrSel : public QDialog {
    Q_OBJECT
  public:
    // What the radio buttons choose between.
    enum TSaveMode {
        AllToOne = 0,      // r_All
        SelectedToOne = 1, // r_Sel
        AllToEach = 2,     // r_All_ind
        SelectedToEach = 3 // r_Sel_ind
    };

    explicit TAllOrSel(QWidget* parent = nullptr);

    TSaveMode Mode() const;
    bool IncludeComments() const;
    // "Optimize file size" as last confirmed with OK (the program's
    // settings); unticked until someone ticks it.
    static bool OptimizeRemembered();

    QGroupBox* SaveOptions = nullptr;
    QRadioButton* r_All = nullptr;
    QRadioButton* r_Sel = nullptr;
    QRadioButton* r_All_ind = nullptr;
    QRadioButton* r_Sel_ind = nullptr;
    QCheckBox* Inc_Com = nullptr;
    QCheckBox* Opt_Size = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

  public slots:
    // Escape and the close box end the window with mrCancel.
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
};
