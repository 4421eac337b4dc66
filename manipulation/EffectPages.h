#pragma once
// The pages of the effects dialog as data: caption, menu, whether the page
// works on the selection, and its bars, check boxes and radio groups with
// their component names (the keys of the settings file). The dialog builds
// each page from its row; the few pages with controls of their own
// (palette, paste, borders, transitions) add them after the generic ones.
#include <vector>

namespace effectpages {

enum Menu { ImageMenu, DeformationMenu, CorrectionMenu, TransitionsMenu };

struct Bar {
    const char* name;  // the track bar; its edit is named by EditNameOf
    const char* label; // caption beside the pair
    int min, max, position;
    bool tenths = false; // the edit shows position / 10
};
struct Check {
    const char* name;
    const char* caption;
    bool checked = false;
};
// The first button of a group is checked at creation.
struct Radio {
    const char* name;
    const char* caption;
};
// Colour buttons a page shows.
enum Colours { NoColours = 0, Background = 1, Foreground = 2, Mask = 4 };

struct Page {
    const char* caption;
    Menu menu;
    bool usesSelection;
    std::vector<Bar> bars;
    std::vector<Check> checks;
    std::vector<std::vector<Radio>> radioGroups;
    int colours = NoColours;
};

// In the order of the page control.
const std::vector<Page>& Pages();
// nullptr when no page has that caption.
const Page* FindPage(const char* caption);
// "BlurBar" -> "BlurEdit", "mtAnglebar" -> "mtAngleEdit"; other names + "Edit".
const char* EditNameOf(const char* barName);

} // namespace effectpages
