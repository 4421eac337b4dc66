// The editor's three info boxes: their controls, ranges and hints, and the
// connections of their change events.
#include "editor/EditorParts.h"
#include "editor/TGifEdit.h"
#include "editor/TPaintBox.h"
#include "editor/TSpinEdit.h"
#include "editor/commands/TChangeRecorder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>

using namespace editorparts;

// The largest record values: positions are written to the file as unsigned
// 16-bit numbers but held as signed ones, so they stay within 0..32767.
constexpr int kMaxPosition = 32767;
constexpr int kMaxScreen = 65535;
constexpr int kMaxDelay = 65535;
constexpr int kMaxLoops = 65000;

void TGifEdit::CreateImageInfo() {
    ImageInfo = new QGroupBox("Image Info", ClientPanel);
    ImageInfo->setObjectName("ImageInfo");
    ImageInfo->setGeometry(2, 197, 145, 190);
    Caption(ImageInfo, "Screen Width:", 4, 20, 78);
    ScreenWidthEdit = Spin(ImageInfo, "ScreenWidthEdit", 82, 20, 0, kMaxScreen,
                           "The logical (from all frames) screen width");
    Caption(ImageInfo, "Screen Height:", 4, 52, 78);
    ScreenHeightEdit = Spin(ImageInfo, "ScreenHeightEdit", 82, 52, 0, kMaxScreen,
                            "The logical (from all frames) screen height");
    for (QSpinBox* spin : {ScreenWidthEdit, ScreenHeightEdit})
        spin->resize(58, spin->height());
    Caption(ImageInfo, "Net Loops:", 6, 84);
    NetLoopsSpin = Spin(ImageInfo, "NetLoopsSpin", 82, 84, 0, kMaxLoops,
                        "Times to show animation 0 means forever");
    NetLoopsSpin->resize(58, NetLoopsSpin->height());
    Caption(ImageInfo, "Back Color:", 6, 116);
    Panel5 = ColourPanel(ImageInfo, "Panel5", 78, 116, 62, 22);
    Hint(Panel5, "Left Click me to select. Right click to use the window color");
    Caption(ImageInfo, "Frames:", 6, 148);
    Frames = new QLineEdit("0", ImageInfo);
    Frames->setObjectName("Frames");
    Frames->setReadOnly(true);
    Frames->setGeometry(78, 148, 62, 22);
    Hint(Frames, "Total frames (read only)");
    SetPanelColor(Panel5, FPanel5Color);
}

void TGifEdit::CreateFrameInfo() {
    FrameInfo = new QGroupBox("Frame Info", ClientPanel);
    FrameInfo->setObjectName("FrameInfo");
    FrameInfo->setGeometry(149, 197, 166, 190);
    Caption(FrameInfo, "Frame Left:", 6, 18, 88);
    LeftEdit = Spin(FrameInfo, "LeftEdit", 96, 18, 0, kMaxPosition, "Left position of the frame");
    Caption(FrameInfo, "Frame Top:", 6, 44, 88);
    TopEdit = Spin(FrameInfo, "TopEdit", 96, 44, 0, kMaxPosition, "Top position of the frame");
    Caption(FrameInfo, "Frame Delay:", 6, 70, 88);
    DelaySpin = Spin(FrameInfo, "DelaySpin", 96, 70, 0, kMaxDelay, "Delay in 100 Sec");
    HasTransparency = new QCheckBox("Has Transparency", FrameInfo);
    HasTransparency->setObjectName("HasTransparency");
    HasTransparency->setGeometry(6, 96, 154, 20);
    Hint(HasTransparency, "Flag indicating that this frame has an transparent color");
    TransLabel = Caption(FrameInfo, "Transparent color", 6, 116, 96);
    TransLabel->setObjectName("TransLabel");
    Panel6 = ColourPanel(FrameInfo, "Panel6", 104, 116, 54, 20);
    Hint(Panel6, "Click first in the image and then click me to select the transparent color. "
                 "Right click to toggle on/off");
    InterlacedBox = new QCheckBox("Interlaced:", FrameInfo);
    InterlacedBox->setObjectName("InterlacedBox");
    InterlacedBox->setLayoutDirection(Qt::RightToLeft);
    InterlacedBox->setGeometry(6, 138, 100, 20);
    Hint(InterlacedBox, "Interlaced");
    Caption(FrameInfo, "Disposal  Way", 6, 162, 76);
    Dispos = new QComboBox(FrameInfo);
    Dispos->setObjectName("Dispos");
    Dispos->addItems({"None", "Not dispose", "Erase", "Overwrite"});
    Dispos->setGeometry(80, 160, 80, 22);
    Hint(Dispos, "How to dispose the previous frame");
    TransLabel->hide();
    Panel6->hide();
    SetPanelColor(Panel6, GetSysColor(COLOR_BTNFACE));
}

void TGifEdit::CreatePaletteInfo() {
    PaletteInfo = new QGroupBox("Palette Info", ClientPanel);
    PaletteInfo->setObjectName("PaletteInfo");
    PaletteInfo->setGeometry(318, 197, 296, 190);
    Panel2 = new QFrame(PaletteInfo);
    Panel2->setObjectName("Panel2");
    Panel2->setGeometry(6, 16, 184, 169);
    Panel2->setAutoFillBackground(true);
    QPalette black = Panel2->palette();
    black.setColor(QPalette::Window, Qt::black);
    Panel2->setPalette(black);
    pbPalette = new TPaintBox(Panel2);
    pbPalette->setObjectName("pbPalette");
    pbPalette->setGeometry(2, 2, 180, 165);
    Hint(pbPalette, "Click me to select");

    const int x = 196;
    auto bar = [&](QSlider*& slider, QLabel*& label, const char* name, const char* labelName, int y,
                   const QString& hint) {
        label = Caption(PaletteInfo, "", x, y, 94);
        label->setObjectName(labelName);
        slider = new QSlider(Qt::Horizontal, PaletteInfo);
        slider->setObjectName(name);
        slider->setRange(0, 255);
        slider->setPageStep(5);
        slider->setTickPosition(QSlider::NoTicks);
        slider->setGeometry(x, y + 16, 94, 18);
        Hint(slider, hint);
    };
    bar(trbRed, lblRed, "trbRed", "lblRed", 12, "Set the red component of the color");
    bar(trbGreen, lblGreen, "trbGreen", "lblGreen", 46, "Set the green component of the color");
    bar(trbBlue, lblBlue, "trbBlue", "lblBlue", 80, "Set the blue component of the color");
    lblPalText = Caption(PaletteInfo, "", x, 112, 96);
    lblPalText->setObjectName("lblPalText");
    pnlColor = ColourPanel(PaletteInfo, "pnlColor", x, 132, 62, 20);
    Hint(pnlColor, "Click Me to apply to palette");
    SetWindowColor = MakeButton(PaletteInfo, "", QStyle::SP_TitleBarMenuButton,
                                "Set the current color to the active window color.");
    SetWindowColor->setObjectName("SetWindowColor");
    SetWindowColor->setFixedSize(26, 24);
    SetWindowColor->move(x + 66, 130);
    AAPl = new QCheckBox("Auto Apply Color", PaletteInfo);
    AAPl->setObjectName("AAPl");
    AAPl->setGeometry(x, 152, 98, 18);
    Hint(AAPl, "When checked the trackbar changes are applied to the Image. ");
    Usesitsownpalette = new QCheckBox("Use its own color palette", PaletteInfo);
    Usesitsownpalette->setObjectName("Usesitsownpalette");
    Usesitsownpalette->setGeometry(x, 170, 98, 18);
    Hint(Usesitsownpalette, "When checked this frame will use  its own color palette");
}

void TGifEdit::ConnectPanels() {
    connect(LeftEdit, &QSpinBox::valueChanged, this, &TGifEdit::LeftEditChange);
    connect(TopEdit, &QSpinBox::valueChanged, this, &TGifEdit::TopEditChange);
    connect(DelaySpin, &QSpinBox::valueChanged, this, [this](int value) {
        if (FLoadingControls || !FCurrentFrame) return;
        const auto change = Change(TChangeKind::FrameProperties, "Change delay", {}, ufDelay);
        FCurrentFrame->Delay = uint16_t(value);
    });
    connect(NetLoopsSpin, &QSpinBox::valueChanged, this, [this](int value) {
        if (FLoadingControls || !FCurrentFrame) return;
        const auto change = Change(TChangeKind::FrameProperties, "Change loops", {}, ufLoops);
        FCurrentFrame->Loops = value;
    });
    connect(ScreenWidthEdit, &QSpinBox::valueChanged, this, &TGifEdit::ScreenSizeChange);
    connect(ScreenHeightEdit, &QSpinBox::valueChanged, this, &TGifEdit::ScreenSizeChange);
    // Only the user's choice: showing a frame sets the item without storing it.
    connect(Dispos, &QComboBox::activated, this, &TGifEdit::DisposChange);
    connect(InterlacedBox, &QCheckBox::toggled, this, [this](bool ticked) {
        if (FLoadingControls || !FCurrentFrame) return;
        const auto change =
            Change(TChangeKind::FrameProperties, "Change interlacing", {}, ufInterlaced);
        FCurrentFrame->Interlaced = ticked ? 1 : 0;
    });
    connect(HasTransparency, &QCheckBox::toggled, this, &TGifEdit::HasTransparencyClick);
    connect(Usesitsownpalette, &QCheckBox::toggled, this, [this](bool ticked) {
        if (!FCurrentFrame) return;
        const auto change =
            Change(TChangeKind::FrameProperties, "Change own palette", {}, ufLocalPalette);
        FCurrentFrame->UseLocalPalette = ticked ? 1 : 0;
    });
    for (QSlider* slider : {trbRed, trbGreen, trbBlue})
        connect(slider, &QSlider::valueChanged, this, &TGifEdit::ColorChanged);
    pnlColor->installEventFilter(new PressFilter(this, [this](Qt::MouseButton) {
        if (pnlColor->isEnabled()) pnlColorClick();
    }));
    connect(SetWindowColor, &QToolButton::clicked, this, &TGifEdit::SetWindowColorClick);
    Panel6->installEventFilter(
        new PressFilter(this, [this](Qt::MouseButton) { Panel6MouseDown(); }));
    Panel5->installEventFilter(
        new PressFilter(this, [this](Qt::MouseButton button) { Panel5MouseDown(button); }));
    PaintBox1->OnPaint = [this](QPainter& painter) { PaintPreview(painter); };
    PaintBox1->OnMouseDown = [this](QMouseEvent* event) {
        PreviewMouseDown(event->position().toPoint());
    };
    pbPalette->OnPaint = [this](QPainter& painter) { PaintPalette(painter); };
    pbPalette->OnMouseDown = [this](QMouseEvent* event) {
        PaletteMouseDown(event->position().toPoint());
    };
}
