#include "app/TWhatsThisForm.h"

#include "app/ModalResult.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <algorithm>
#include <memory>

bool WhatsThisShowing = false;
QPointer<QWidget> WhatsThisTarget;

namespace {

constexpr int kTextWidth = 267;

// Beside the target: below it, or above it when the popup would pass the
// screen's bottom; one pixel right of its left edge, or ending one pixel
// before the screen's right edge when it would pass it. A popup taller than
// the room above the target stays on the screen rather than above its top.
QPoint Placement(const QRect& screen, QPoint targetTopLeft, QPoint targetBottomRight, QSize popup) {
    const int screenRight = screen.x() + screen.width();
    const int screenBottom = screen.y() + screen.height();
    int left = targetTopLeft.x() + 1;
    if (screenRight < targetTopLeft.x() + popup.width() + 1) left = screenRight - popup.width() - 1;
    int top = targetBottomRight.y() + 1;
    if (screenBottom < targetBottomRight.y() + popup.height() + 1)
        top = std::max(targetTopLeft.y() - popup.height(), screen.y());
    return {left, top};
}

} // namespace

TWhatsThisForm::TWhatsThisForm(QWidget* parent) : QDialog(parent) {
    setObjectName("WhatsThisForm");
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setFocusPolicy(Qt::StrongFocus);
    QPalette tip = palette();
    tip.setColor(QPalette::Window, tip.color(QPalette::ToolTipBase));
    tip.setColor(QPalette::WindowText, tip.color(QPalette::ToolTipText));
    setPalette(tip);
    setAutoFillBackground(true);

    Bevel1 = new QFrame(this);
    Bevel1->setObjectName("Bevel1");
    Bevel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Bevel1->setLineWidth(1);

    Txt = new QLabel("Information Text About this program", this);
    Txt->setObjectName("Txt");
    Txt->setWordWrap(true);
    Txt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Txt->setGeometry(6, 6, kTextWidth, Txt->heightForWidth(kTextWidth));

    Label1 = new QLabel(" Click to close", this);
    Label1->setObjectName("Label1");
    Label1->resize(Label1->sizeHint());

    resize(427, 272);
    FormResize();
}

void TWhatsThisForm::SetWhatsThisText(const QString& text) {
    Txt->setText(text);
    Txt->resize(kTextWidth, std::max(Txt->heightForWidth(kTextWidth), 1));
    resize(Txt->width() + 12, Txt->height() + 30);
    FormResize(); // a hidden window gets its resize event only when shown
}

void TWhatsThisForm::FormClick() {
    done(mrCancel);
}

void TWhatsThisForm::FormKeyDown(int) {
    done(mrCancel);
}

void TWhatsThisForm::FormMouseDown(Qt::MouseButton) {
    done(mrCancel);
}

void TWhatsThisForm::FormResize() {
    Bevel1->setGeometry(rect());
    Label1->move(2, height() - Label1->height() - 5);
}

// The labels and the bevel leave mouse presses to the window, so a press
// anywhere on the popup closes it.
void TWhatsThisForm::keyPressEvent(QKeyEvent* event) {
    FormKeyDown(event->key());
}

void TWhatsThisForm::mousePressEvent(QMouseEvent* event) {
    FormMouseDown(event->button());
}

void TWhatsThisForm::mouseReleaseEvent(QMouseEvent*) {
    FormClick();
}

void TWhatsThisForm::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    FormResize();
}

void ShowWhatsThis(const QString& text) {
    if (text.isEmpty() || WhatsThisShowing) return;
    WhatsThisShowing = true;
    // Cleared however the popup ends, or no popup would ever show again.
    struct ShowingGuard {
        ~ShowingGuard() { WhatsThisShowing = false; }
    } guard;
    auto popup = std::make_unique<TWhatsThisForm>();
    popup->SetWhatsThisText(text);
    QScreen* screen = QGuiApplication::primaryScreen();
    if (QWidget* target = WhatsThisTarget) {
        if (target->screen()) screen = target->screen();
        const QPoint topLeft = target->mapToGlobal(QPoint(0, 0));
        const QPoint bottomRight = target->mapToGlobal(QPoint(target->width(), target->height()));
        popup->move(Placement(screen->geometry(), topLeft, bottomRight, popup->size()));
    } else if (screen) {
        // No control to explain: the middle of the screen.
        const QRect area = screen->geometry();
        popup->move(area.center() - QPoint(popup->width() / 2, popup->height() / 2));
    }
    popup->exec();
}

QString WhatsThisTextFor(const QString& targetName) {
    if (targetName == "NetLoopsSpin")
        return "Net loops lets the internet browser know how many times to cycle the gif "
               "animation. When this value is 0 then the gif will animate untill the webpage is "
               "closed";
    if (targetName == "ScreenHeightEdit" || targetName == "ScreenWidthEdit")
        return "ScreenHeight and ScreenWidth are the physical width and height dimensions in "
               "where the animation takes place. When an animation moves left / rigth / up / "
               "down then the screen dimensions are larger then the individual frame sizes";
    if (targetName == "LeftEdit" || targetName == "TopEdit")
        return "Frame Left and Frame Top are the positions of the individual frames and should "
               "be within the screen height/width dimensions. By changing the top and left you "
               "give animations a moving effect";
    if (targetName == "DelaySpin")
        return "The delay plays an important factor in the speed of the animation. The delay is "
               "a value of 1/100 of a second and might be diferrent translated between software "
               "programs. Netscape's / Internet Explorer's delay might be less/more then seen "
               "here in this program";
    return {};
}
