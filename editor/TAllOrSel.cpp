#include "editor/TAllOrSel.h"

#include "app/ModalResult.h"
#include "app/SharedForms.h"
#include "platform/Profile.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

namespace {

// Where the choice is remembered: the program's own settings file.
constexpr const char* kFile = "zentrope.ini";
constexpr const char* kSection = "Save";
constexpr const char* kKey = "OptimizeFileSize";

template <class T> T* hinted(T* control, const char* name, const QString& hint) {
    control->setObjectName(name);
    if (!hint.isEmpty()) {
        control->setToolTip(hint);
        control->setStatusTip(hint);
    }
    return control;
}

} // namespace

TAllOrSel::TAllOrSel(QWidget* parent) : QDialog(parent) {
    setObjectName("AllOrSel");
    setWindowTitle("Please select");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    QWidget* client = MakeClientArea(this, 313, 196);

    SaveOptions = new QGroupBox("Save Options", client);
    SaveOptions->setObjectName("SaveOptions");
    SaveOptions->setGeometry(8, 6, 297, 146);
    r_All = hinted(new QRadioButton("All Frames", SaveOptions), "r_All",
                   "Saves all frames to one file");
    r_All->setGeometry(12, 20, 277, 20);
    r_All->setChecked(true);
    r_Sel = hinted(new QRadioButton("Selected Frames only", SaveOptions), "r_Sel",
                   "Saves all selected frames to one file");
    r_Sel->setGeometry(12, 44, 277, 20);
    r_All_ind = hinted(new QRadioButton("All frames to individual gif files", SaveOptions),
                       "r_All_ind", {});
    r_All_ind->setGeometry(12, 68, 277, 20);
    r_Sel_ind =
        hinted(new QRadioButton("Selected frames only to individual gif files", SaveOptions),
               "r_Sel_ind", "Saves all selected frames to its own individual file file");
    r_Sel_ind->setGeometry(12, 92, 277, 20);
    Inc_Com = hinted(new QCheckBox("Include comments", SaveOptions), "Inc_Com",
                     "When checked then text comments are included");
    Inc_Com->setGeometry(12, 118, 130, 20);
    Inc_Com->setChecked(true);
    // Beside "Include comments", so the dialog keeps its size.
    Opt_Size = hinted(new QCheckBox("Optimize file size", SaveOptions), "Opt_Size",
                      "Writes only what changes from frame to frame; the animation looks the same");
    Opt_Size->setGeometry(150, 118, 139, 20);
    Opt_Size->setChecked(OptimizeRemembered());

    OKBtn = hinted(new QPushButton("OK", client), "OKBtn", {});
    OKBtn->setGeometry(66, 162, 75, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, [this] {
        WritePrivateProfileString(kSection, kKey, Opt_Size->isChecked() ? "1" : "0", kFile);
        done(mrOk);
    });
    CancelBtn = hinted(new QPushButton("Cancel", client), "CancelBtn", {});
    CancelBtn->setGeometry(172, 162, 75, 25);
    connect(CancelBtn, &QPushButton::clicked, this, [this] { done(mrCancel); });
}

// Checked from the most specific choice down, so that only one answer is
// possible even if several buttons were ever ticked.
TAllOrSel::TSaveMode TAllOrSel::Mode() const {
    if (r_Sel_ind->isChecked()) return SelectedToEach;
    if (r_All_ind->isChecked()) return AllToEach;
    if (r_Sel->isChecked()) return SelectedToOne;
    return AllToOne;
}

bool TAllOrSel::IncludeComments() const {
    return Inc_Com->isChecked();
}

bool TAllOrSel::OptimizeRemembered() {
    char value[8] = {};
    GetPrivateProfileString(kSection, kKey, "0", value, sizeof value, kFile);
    return value[0] == '1';
}

void TAllOrSel::reject() {
    done(mrCancel);
}

void TAllOrSel::showEvent(QShowEvent* event) {
    CenterOnScreen(this);
    QDialog::showEvent(event);
}
