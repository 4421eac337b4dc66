// The operation behind each page, with its controls' values in the order
// the effects binding takes them.
#include "imaging/common/ColorRef.h"
#include "imaging/still/TPicture.h"
#include "manipulation/TEffectForm.h"
#include "platform/GlobalBlock.h"
#include "platform/TBitmap.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPalette>
#include <QRadioButton>
#include <QSlider>
#include <cstdlib>
#include <map>

using namespace DllSP96;

int TEffectForm::Pos(const char* bar) const {
    return Bars.at(bar)->value();
}

bool TEffectForm::Checked(const char* name) const {
    if (auto c = Checks.find(name); c != Checks.end()) return c->second->isChecked();
    return Radios.at(name)->isChecked();
}

namespace {

int Bit(bool b) {
    return b ? 1 : 0;
}
int Flag(bool b) {
    return b ? -1 : 0;
}

// The window's colour as a COLORREF.
COLORREF WindowColour(const QWidget* w) {
    const QColor c = w->palette().color(QPalette::Window);
    return RGB(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

int Depth(HGLOBAL dib) {
    zp::GlobalLockGuard lock(dib);
    return lock ? lock.as<BITMAPINFOHEADER>()->biBitCount : 24;
}

} // namespace

HGLOBAL TEffectForm::RunOperation(const QString& page, HGLOBAL& target, const Area& a, bool apply,
                                  bool& inPlace) {
    const Progress p{&TEffectForm::ProgressCallback, this};
    const std::string name = page.toStdString();
    inPlace = false;
    if (name == "Mirror") {
        return PVMirror(target, Checked("VBox"), Checked("HBox"));
    } else if (name == "Rotate") {
        inPlace = PVRotate(target, a, ColorToRGB(BackgroundColor), Pos("rtValueBar") / 10.0);
        return 0;
    } else if (name == "Paste Image") {
        if (!FPasteSource) return 0;
        zp::GlobalBlock scaled(ScaleDib(FPasteSource, std::max(a.Right - a.Left, 1),
                                        std::max(a.Bottom - a.Top, 1), 24));
        if (!scaled) return 0;
        return DropDib(target, scaled.get(), -1, a.Left, a.Top, -1, -1);
    } else if (name == "Borders") {
        int32_t w = 0, h = 0;
        {
            zp::GlobalLockGuard lock(target);
            if (!lock) return 0;
            w = lock.as<BITMAPINFOHEADER>()->biWidth;
            h = std::abs(lock.as<BITMAPINFOHEADER>()->biHeight);
        }
        Shape->SetSize(w, h);
        Shape->SetShape(TMyShapeType(BorderShape->currentIndex()));
        zp::TBitmap bitmap;
        bitmap.setHandle(ImageToDeviceBitmap(Shape->Picture()));
        zp::GlobalBlock mask(IDDBtoDIB(bitmap, Depth(target)));
        if (!mask) return 0;
        const COLORREF key = ColorToRGB(Checked("brWindowColor") ? WindowColour(this) : MaskColor);
        return MergeDib(target, mask.get(), GetRValue(key), 0, 0, GetBValue(key), GetGValue(key));
    } else if (name == "Border Fade") {
        const COLORREF c =
            ColorToRGB(Checked("bfWindowColor") ? WindowColour(this) : BackgroundColor);
        return FadeDib(target, a, p, GetBValue(c), GetGValue(c), GetRValue(c), Pos("bfEdgeBar"));
    } else if (name == "Motion Blur") {
        return Motion(target, a, p, MotionKind, Pos("mtAnglebar"), Pos("mtValueBar"));
    } else if (name == "Blur") {
        return Blur(target, a, p, Pos("BlurBar"));
    } else if (name == "Pinch Hole") {
        return PinchHole(target, a, p, Pos("phValueBar"));
    } else if (name == "Polar") {
        return RecToPolar(target, a, p, Flag(Checked("PolBack")), Flag(Checked("PolInv")),
                          Pos("plAngleBar"), Pos("plValueBar"));
    } else if (name == "Page Curl") {
        CurlOptions o;
        o.Shading = Pos("pcShadingBar");
        o.Fore = ColorToRGB(ForegroundColor);
        o.Back = ColorToRGB(BackgroundColor);
        const char* flags[12] = {"C_OH",   "C_OV",   "C_RB",   "C_LB",    "C_RT",  "C_LT",
                                 "CShade", "B_CUFC", "B_CUBC", "C_Trans", "B_CBC", "B_CFC"};
        for (int i = 0; i < 12; ++i)
            o.Flags[i] = Checked(flags[i]);
        return Curl(target, a, p, o);
    } else if (name == "Mosaic") {
        MosaicOptions o;
        o.Back = ColorToRGB(BackgroundColor);
        o.Fore = ColorToRGB(ForegroundColor);
        o.Antialias = Bit(Checked("MosAntiA"));
        o.Surface = Checked("MosSur2") ? 0 : 1;
        o.Type = Bit(Checked("btnType"));
        o.Random = Pos("msRandomBar");
        o.Light = Pos("msLightBar");
        o.Space = Pos("msSpaceBar");
        o.Height = Pos("msHeightBar");
        o.Size = Pos("msSizeBar");
        return Mosaic(target, a, p, o);
    } else if (name == "Oil Paint") {
        return OilPainting(target, a, p, Pos("opValueBar"));
    } else if (name == "Extrude") {
        return ExtrudeDib(target, Bit(Checked("Levels")), Pos("exValueBar"), p);
    } else if (name == "Spray") {
        return Spray(target, a, p, Pos("sprRandomBar"), Pos("sprValueBar"));
    } else if (name == "WhirlPool") {
        return Whirl(target, a, p, Pos("wpValueBar"));
    } else if (name == "Wave") {
        return Wave(target, a, p, Bit(Checked("Refl")), Bit(Checked("Smear")), Pos("wvPhaseBar"),
                    Pos("wvLengthBar"), Pos("wvAmplBar"));
    } else if (name == "Warp") {
        return Warp(target, Checked("RgbToHueBox"), Checked("RGBToSaturationBox"),
                    &TEffectForm::WarpCallback, p, Pos("wrpDisplacementBar"), Pos("wrpStepsBar"),
                    Pos("wrpVecRotateBar"), Pos("wrpScaleBar"), Checked("ConvoleTgle"));
    } else if (name == "Jiggle") {
        return Jiggle(target, a, p, Checked("jgSine") ? 0 : 1, Pos("jgAmpBar"), Pos("jgPeriodBar"));
    } else if (name == "Bleed") {
        return Bled(target, a, p, Pos("BleedBar"));
    } else if (name == "AutoContrast") {
        return AutoContrast(target, a, p);
    } else if (name == "Bright") {
        return PVBrightness(target, Pos("BrightBar"));
    } else if (name == "Dark") {
        return PVBrightness(target, -Pos("DarkBar"));
    } else if (name == "Color") {
        if (Checked("Colors16M")) return IncreaseColors(target, 24);
        const TSortDither dither = Checked("crBurkes")      ? PV_BURKES
                                   : Checked("crFloyed")    ? PV_FLOYD
                                   : Checked("crGrayScale") ? PV_GRAYSCALE
                                                            : PV_BAYER;
        return PVReduceColors(target, Pos("crColorsBar"), dither);
    } else if (name == "Edge Detection") {
        return Edge(target, a, p, Pos("EdgeBar"));
    } else if (name == "Engrave") {
        return Engrave(target, a, p, Pos("EnGraveBar"));
    } else if (name == "Enhance") {
        return Enhance(target, a, p, Pos("enGammaBlueBar"), Pos("enGammaGreenBar"),
                       Pos("enGammaRedBar"), Pos("enContrastBar"), Pos("enBrightBar"));
    } else if (name == "Gray Area") {
        return GrayArea(target, a, p);
    } else if (name == "Gamma") {
        return PVGamma(target, Pos("GammaBar"));
    } else if (name == "HalfTone") {
        const int shape = Checked("htCross")     ? 5
                          : Checked("htLine")    ? 4
                          : Checked("htDiamond") ? 3
                          : Checked("htSquare")  ? 2
                          : Checked("htEllipse") ? 1
                                                 : 0;
        return HToneImage(target, Pos("htCellSizeBar"), shape, p, Pos("htAngleBar") / 10.0);
    } else if (name == "Hue and Saturation") {
        const bool all = Checked("hsAllColors");
        auto ch = [&](const char* r) { return all || Checked(r) ? 1 : 0; };
        inPlace =
            pvHueAndSaturation(target, ch("hsRed"), ch("hsGreen"), p, a, Pos("hsBrightBar") - 100,
                               Pos("hsSatBar") - 100, Pos("hsHueBar") - 180 + (all ? 0 : 120),
                               ch("hsCyan"), ch("hsMagenta"), ch("hsYellow"), ch("hsBlue"));
        return 0;
    } else if (name == "Invert") {
        inPlace = PVInvert(target);
        return 0;
    } else if (name == "Noisify") {
        return Noise(target, a, p, Pos("nsBlueBar"), Pos("nsGreenBar"), Pos("nsRedBar"),
                     Bit(Checked("nsGrayValue")), Bit(Checked("nsGauss")));
    } else if (name == "Sharp") {
        return Better(target, a, p, Pos("shValueBar"));
    } else if (name == "Soft") {
        return Better(target, a, p, -Pos("soValueBar"));
    } else if (name == "Despeckle") {
        return PixelFix(target, a, p, Pos("dsValueBar"));
    } else if (name == "Tile Maker") {
        return TileDib(target, p);
    } else if (name == "Threshold") {
        return ThresholdDib(target, a, p, Bit(Checked("ThresAnti")), Pos("thValueBar"));
    }
    (void)apply;
    return 0; // "Transitions", "Color Palette": nothing to run
}
