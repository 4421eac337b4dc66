#include "manipulation/EffectPages.h"

#include <cstring>
#include <map>
#include <string>

namespace effectpages {

namespace {

std::vector<Page> MakePages() {
    const int BF = Background | Foreground;
    return {
        // Image
        {"Mirror", ImageMenu, false, {}, {{"VBox", "Vertical"}, {"HBox", "Horizontal"}}, {}},
        {"Rotate",
         ImageMenu,
         true,
         {{"rtValueBar", "Degrees", -1800, 1800, 0, true}},
         {},
         {},
         Background},
        {"Paste Image", ImageMenu, true, {}, {}, {}},
        {"Borders",
         ImageMenu,
         false,
         {{"brEdgeBar", "Edge", 1, 100, 1},
          {"brAngleBar", "Angle", 0, 360, 90},
          {"brVectorsBar", "Vectors", 1, 100, 10},
          {"brVectorSizeBar", "Vec Size", 0, 100, 50}},
         {{"brWindowColor", "Use  the color of this window or "}},
         {},
         Mask},
        {"Border Fade",
         ImageMenu,
         true,
         {{"bfEdgeBar", "Edge width", 1, 1000, 1}},
         {{"bfWindowColor", "Use  the color of this window or "}},
         {},
         Background},
        {"Page Curl",
         ImageMenu,
         true,
         {{"pcShadingBar", "Shading", 0, 4, 4}},
         {{"C_OH", "Over Horizontal"},
          {"C_OV", "Over Vertical"},
          {"C_RB", "Right Bottom", true},
          {"C_LB", "Left Bottom"},
          {"C_RT", "Right Top"},
          {"C_LT", "Left Top"},
          {"CShade", "Shade Under Curl", true},
          {"B_CUFC", "Curl uses foreground color"},
          {"B_CUBC", "Curl uses background color"},
          {"C_Trans", "Keep Image under the curl"},
          {"B_CBC", "Background color under the curl", true},
          {"B_CFC", "Foreground color under the curl"}},
         {},
         BF},
        {"Mosaic",
         ImageMenu,
         true,
         {{"msSizeBar", "Size", 1, 1000, 150},
          {"msSpaceBar", "Space", 0, 100, 10},
          {"msLightBar", "Light", -360, 360, 40},
          {"msHeightBar", "Height", 1, 1000, 30},
          {"msRandomBar", "Random", 0, 5, 1}},
         {{"MosAntiA", "Anti-Aliasing"}, {"btnType", "Bricks"}},
         {{{"MosSur1", "Flat Surface"}, {"MosSur2", "Image Surface"}}},
         BF},
        {"Tile Maker", ImageMenu, false, {}, {}, {}},
        {"HalfTone",
         ImageMenu,
         false,
         {{"htCellSizeBar", "Cell Size", 1, 100, 4}, {"htAngleBar", "Angle", 0, 1800, 450, true}},
         {},
         {{{"htCircle", "Circle"},
           {"htEllipse", "Ellipse"},
           {"htSquare", "Sqaure"},
           {"htDiamond", "Diamond"},
           {"htLine", "Line"},
           {"htCross", "Cross"}}}},
        {"Extrude",
         ImageMenu,
         false,
         {{"exValueBar", "Size", 1, 50, 1}},
         {{"Levels", "Levels"}},
         {}},
        {"Oil Paint", ImageMenu, true, {{"opValueBar", "Brush", 0, 50, 1}}, {}, {}},
        {"Engrave", ImageMenu, true, {{"EnGraveBar", "Depth", 1, 10, 1}}, {}, {}},
        {"Edge Detection", ImageMenu, true, {{"EdgeBar", "Amount", 1, 100, 1}}, {}, {}},
        // Deformation
        {"Motion Blur",
         DeformationMenu,
         true,
         {{"mtAnglebar", "Angle", 1, 360, 10}, {"mtValueBar", "Amount", 1, 500, 10}},
         {},
         {{{"MotionZoom", "Motion Zoom"},
           {"MotionRotate", "Motion Rotate"},
           {"MotionLine", "Motion Line"}}}},
        {"Pinch Hole", DeformationMenu, true, {{"phValueBar", "Amount", -20, 0, 0}}, {}, {}},
        {"Polar",
         DeformationMenu,
         true,
         {{"plAngleBar", "Angle", 0, 360, 1}, {"plValueBar", "Value", 0, 500, 1}},
         {{"PolBack", "Backwards"}, {"PolInv", "Inverse"}},
         {}},
        {"WhirlPool", DeformationMenu, true, {{"wpValueBar", "Angle", 0, 3000, 0}}, {}, {}},
        {"Wave",
         DeformationMenu,
         true,
         {{"wvPhaseBar", "Phase", 1, 3600, 1, true},
          {"wvLengthBar", "Length", 0, 200, 20},
          {"wvAmplBar", "Amplitude", 0, 2000, 50, true}},
         {{"Refl", "Add Reflection to Waves"}, {"Smear", "Smear Waves"}},
         {}},
        {"Warp",
         DeformationMenu,
         false,
         {{"wrpDisplacementBar", "Displacement", 1, 200, 10},
          {"wrpStepsBar", "Steps", 1, 200, 4},
          {"wrpVecRotateBar", "Vector Rotation", 0, 360, 90},
          {"wrpScaleBar", "Scale", 1, 200, 20}},
         {{"RgbToHueBox", "RGB to Hue"},
          {"RGBToSaturationBox", "RGB to Saturation"},
          {"ConvoleTgle", "Convolve"}},
         {}},
        {"Jiggle",
         DeformationMenu,
         true,
         {{"jgAmpBar", "Amplitude", 1, 360, 10}, {"jgPeriodBar", "Period", 1, 100, 1}},
         {},
         {{{"jgSine", "Sine"}, {"jgTriangle", "Triangle"}}}},
        {"Spray",
         DeformationMenu,
         true,
         {{"sprRandomBar", "Randomness", 1, 360, 1}, {"sprValueBar", "Amount", 0, 100, 0}},
         {},
         {}},
        {"Bleed", DeformationMenu, true, {{"BleedBar", "Amount", -255, 255, 0}}, {}, {}},
        {"Blur", DeformationMenu, true, {{"BlurBar", "Amount", 1, 100, 1}}, {}, {}},
        // Correction
        {"AutoContrast", CorrectionMenu, true, {}, {}, {}},
        {"Bright", CorrectionMenu, false, {{"BrightBar", "Amount", 0, 255, 0}}, {}, {}},
        {"Dark", CorrectionMenu, false, {{"DarkBar", "Amount", 0, 255, 0}}, {}, {}},
        {"Color",
         CorrectionMenu,
         false,
         {{"crColorsBar", "Colors", 1, 255, 255}},
         {{"Colors16M", "16 Million Colors"}},
         {{{"crBayer", "Bayer"},
           {"crBurkes", "Burkes"},
           {"crFloyed", "Floyed"},
           {"crGrayScale", "GrayScale"}}}},
        {"Color Palette", CorrectionMenu, false, {}, {}, {}},
        {"Gamma", CorrectionMenu, false, {{"GammaBar", "Gamma", 10, 50, 10}}, {}, {}},
        {"Hue and Saturation",
         CorrectionMenu,
         true,
         {{"hsHueBar", "Hue", 0, 360, 180},
          {"hsSatBar", "Saturation", 0, 200, 100},
          {"hsBrightBar", "Brightness", 0, 200, 100}},
         {{"hsAllColors", "All Colors", true}},
         {{{"hsRed", "Red"},
           {"hsGreen", "Green"},
           {"hsBlue", "Blue"},
           {"hsYellow", "Yellow"},
           {"hsMagenta", "Magenta"},
           {"hsCyan", "Cyan"}}}},
        {"Enhance",
         CorrectionMenu,
         true,
         {{"enGammaRedBar", "Gamma Red", 1, 255, 10},
          {"enGammaGreenBar", "Gamma Green", 1, 255, 10},
          {"enGammaBlueBar", "Gamma Blue", 1, 255, 10},
          {"enContrastBar", "Contrast", -255, 255, 0},
          {"enBrightBar", "Brightness", -255, 255, 0}},
         {},
         {}},
        {"Gray Area", CorrectionMenu, true, {}, {}, {}},
        {"Invert", CorrectionMenu, false, {}, {}, {}},
        {"Noisify",
         CorrectionMenu,
         true,
         {{"nsRedBar", "Red", 0, 255, 20},
          {"nsGreenBar", "Green", 0, 255, 20},
          {"nsBlueBar", "Blue", 0, 255, 20}},
         {{"nsGrayValue", "Use Gray Value of Pixels"}},
         {{{"nsUniform", "Uniform"}, {"nsGauss", "Gauss"}}}},
        {"Sharp", CorrectionMenu, true, {{"shValueBar", "Amount", 0, 9, 0}}, {}, {}},
        {"Soft", CorrectionMenu, true, {{"soValueBar", "Amount", 0, 9, 0}}, {}, {}},
        {"Despeckle", CorrectionMenu, true, {{"dsValueBar", "Tolerance", 0, 100, 0}}, {}, {}},
        {"Threshold",
         CorrectionMenu,
         true,
         {{"thValueBar", "Level", 0, 255, 120}},
         {{"ThresAnti", "Anti Alialsing"}},
         {}},
        {"Transitions",
         TransitionsMenu,
         false,
         {{"trDelayBar", "Delay", 1, 100, 15}, {"trThickbar", "Thickness", 1, 20, 4}},
         {},
         {{{"trNone", "None"},
           {"trHorizontal", "Horizontal"},
           {"trVertical", "Vertical"},
           {"trDiagonal", "Diagonal"},
           {"trDiagonalSquares", "Diagonal Squares"},
           {"trRectangles", "Rectangles"}}}},
    };
}

} // namespace

const std::vector<Page>& Pages() {
    static const std::vector<Page> pages = MakePages();
    return pages;
}

const Page* FindPage(const char* caption) {
    for (const Page& page : Pages())
        if (std::strcmp(page.caption, caption) == 0) return &page;
    return nullptr;
}

const char* EditNameOf(const char* barName) {
    // Names live as long as the program: the table's are static too.
    static std::map<std::string, std::string> names;
    auto [it, added] = names.try_emplace(barName);
    if (added) {
        std::string name = barName;
        const size_t n = name.size();
        if (n > 3 && (name.compare(n - 3, 3, "Bar") == 0 || name.compare(n - 3, 3, "bar") == 0))
            name.erase(n - 3);
        it->second = name + "Edit";
    }
    return it->second.c_str();
}

} // namespace effectpages
