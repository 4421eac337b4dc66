// "IFiltSet.Ini": the controls' values keyed by component name. The
// defaults (the values at creation) are written first whenever the file is
// missing, so "Reset to default" always has them to read back.
#include "manipulation/TEffectForm.h"
#include "platform/Gdi.h"
#include "platform/Profile.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>
#include <string>

namespace {

constexpr long kMissing = -99999;

std::string Read(const char* section, const std::string& key, const char* fallback) {
    char buffer[512];
    GetPrivateProfileString(section, key.c_str(), fallback, buffer, sizeof buffer,
                            TEffectForm::SettingsFileName);
    return buffer;
}

long ReadNumber(const char* section, const char* key) {
    const std::string text = Read(section, key, "-99999");
    try {
        return std::stol(text);
    } catch (...) {
        return kMissing;
    }
}

void Write(const char* section, const std::string& key, const std::string& value) {
    WritePrivateProfileString(section, key.c_str(), value.c_str(), TEffectForm::SettingsFileName);
}

} // namespace

void TEffectForm::WriteDefaultsIfMissing() {
    if (QFile::exists(QString::fromStdString(SettingsPath()))) return;
    // The values at creation, kept on each control when it was made.
    auto initial = [](const QObject* control) {
        return control->property("default").toString().toStdString();
    };
    for (const auto& [name, edit] : Edits)
        Write("DEF_FL_EDIT", name, initial(edit));
    for (const auto& [name, box] : Checks)
        Write("DEF_FL_CHECK", name, initial(box));
    for (const auto& [name, radio] : Radios)
        Write("DEF_FL_RADIO", name, initial(radio));
    Write("DEF_FL_COLOR", "BackGroundColor", std::to_string(clBtnFace));
    Write("DEF_FL_COLOR", "ForeGroundColor", std::to_string(clBtnFace));
    Write("DEF_FL_COLOR", "MaskColor", std::to_string(clBtnFace));
}

void TEffectForm::LoadSettings() {
    WriteDefaultsIfMissing();
    for (const auto& [name, edit] : Edits) {
        const std::string text = Read("FL_EDIT", name, "\x01");
        if (text == "\x01") continue;
        edit->setText(QString::fromStdString(text));
        // The bar follows its edit, through the same clamping as typing.
        const std::string bar = name.substr(0, name.size() - 4);
        for (const std::string& candidate : {bar + "Bar", bar + "bar"})
            if (Bars.count(candidate)) EditChanged(candidate);
    }
    for (const auto& [name, box] : Checks) {
        const std::string v = Read("FL_CHECK", name, "\x01");
        if (v != "\x01") box->setChecked(v == "1");
    }
    for (const auto& [name, radio] : Radios) {
        const std::string v = Read("FL_RADIO", name, "\x01");
        if (v == "1") radio->setChecked(true);
    }
    const long left = ReadNumber("FL_POS", "LEFT"), top = ReadNumber("FL_POS", "TOP");
    const long width = ReadNumber("FL_POS", "WIDTH"), height = ReadNumber("FL_POS", "HEIGHT");
    if (left != kMissing && top != kMissing) move(int(left), int(top));
    if (width != kMissing && height != kMissing) resize(int(width), int(height));
    for (auto [key, colour] :
         {std::pair{"BackGroundColor", &BackgroundColor},
          std::pair{"ForeGroundColor", &ForegroundColor}, std::pair{"MaskColor", &MaskColor}})
        if (const long v = ReadNumber("FL_COLOR", key); v != kMissing) *colour = COLORREF(v);
    for (int i = 0; i < QColorDialog::customCount(); ++i)
        if (const long v = ReadNumber("CustomColors", std::to_string(i).c_str()); v != kMissing)
            QColorDialog::setCustomColor(
                i, QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF)));
    long crop[4];
    const char* cropKeys[4] = {"CropX", "CropY", "CropWidth", "CropHeight"};
    for (int i = 0; i < 4; ++i)
        crop[i] = ReadNumber("FL_RUBBERBAND", cropKeys[i]);
    Selection = {crop[0] != kMissing ? int(crop[0]) : Selection.Left,
                 crop[1] != kMissing ? int(crop[1]) : Selection.Top,
                 crop[2] != kMissing ? int(crop[2]) : Selection.Right,
                 crop[3] != kMissing ? int(crop[3]) : Selection.Bottom};
    const std::string page = Read("ActivePage", "Page", "\x01");
    if (page != "\x01") ShowPage(QString::fromStdString(page));
    PageChanged();
}

void TEffectForm::SaveSettings() {
    WriteDefaultsIfMissing();
    for (const auto& [name, edit] : Edits)
        Write("FL_EDIT", name, edit->text().toStdString());
    for (const auto& [name, box] : Checks)
        Write("FL_CHECK", name, box->isChecked() ? "1" : "0");
    for (const auto& [name, radio] : Radios)
        Write("FL_RADIO", name, radio->isChecked() ? "1" : "0");
    Write("FL_POS", "LEFT", std::to_string(x()));
    Write("FL_POS", "TOP", std::to_string(y()));
    Write("FL_POS", "WIDTH", std::to_string(width()));
    Write("FL_POS", "HEIGHT", std::to_string(height()));
    Write("FL_COLOR", "BackGroundColor", std::to_string(BackgroundColor));
    Write("FL_COLOR", "ForeGroundColor", std::to_string(ForegroundColor));
    Write("FL_COLOR", "MaskColor", std::to_string(MaskColor));
    for (int i = 0; i < QColorDialog::customCount(); ++i) {
        const QColor c = QColorDialog::customColor(i);
        Write("CustomColors", std::to_string(i),
              std::to_string(RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()))));
    }
    Write("FL_RUBBERBAND", "CropX", std::to_string(Selection.Left));
    Write("FL_RUBBERBAND", "CropY", std::to_string(Selection.Top));
    Write("FL_RUBBERBAND", "CropWidth", std::to_string(Selection.Right));
    Write("FL_RUBBERBAND", "CropHeight", std::to_string(Selection.Bottom));
    Write("ActivePage", "Page", CurrentPage().toStdString());
}

void TEffectForm::ResetToDefaultClick() {
    WriteDefaultsIfMissing();
    for (const auto& [name, edit] : Edits) {
        const std::string text = Read("DEF_FL_EDIT", name, "\x01");
        if (text == "\x01") continue;
        edit->setText(QString::fromStdString(text));
        const std::string bar = name.substr(0, name.size() - 4);
        for (const std::string& candidate : {bar + "Bar", bar + "bar"})
            if (Bars.count(candidate)) EditChanged(candidate);
    }
    for (const auto& [name, box] : Checks)
        box->setChecked(Read("DEF_FL_CHECK", name, "0") == "1");
    for (const auto& [name, radio] : Radios)
        if (Read("DEF_FL_RADIO", name, "0") == "1") radio->setChecked(true);
    for (auto [key, colour] :
         {std::pair{"BackGroundColor", &BackgroundColor},
          std::pair{"ForeGroundColor", &ForegroundColor}, std::pair{"MaskColor", &MaskColor}})
        if (const long v = ReadNumber("DEF_FL_COLOR", key); v != kMissing) *colour = COLORREF(v);
    PageChanged();
}
