#include "app/TMSOfficeCaption.h"
#include "app/TMSOfficeCaptionBar.h"
#include "imaging/common/ColorRef.h"
#include "platform/Gdi.h"
#include "platform/Metrics.h"
#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QWidget>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

QWidget* CheckedOwner(QWidget* owner) {
    if (!owner || !owner->isWindow()) throw EInvalidCast();
    return owner;
}

// a * b / c rounded to the nearest integer, halves away from zero.
int MulDiv(int a, int b, int c) {
    if (c == 0) return 0;
    const int64_t p = int64_t(a) * b;
    const int64_t q = (std::llabs(p) + std::llabs(int64_t(c)) / 2) / std::llabs(int64_t(c));
    return int((p < 0) != (c < 0) ? -q : q);
}

// The system's title-bar font as the caption font: face, size and the two
// styles it may carry; everything else from the plain application font.
QFont SystemCaptionFont() {
    const QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    QFont font = QApplication::font();
    font.setFamily(title.family());
    if (title.pixelSize() > 0)
        font.setPixelSize(title.pixelSize());
    else if (title.pointSizeF() > 0)
        font.setPointSizeF(title.pointSizeF());
    font.setUnderline(false);
    font.setStrikeOut(false);
    font.setItalic(title.italic());
    font.setBold(title.weight() > QFont::Medium);
    return font;
}

} // namespace

TMSOfficeCaption::TMSOfficeCaption(QWidget* owner)
    : QObject(CheckedOwner(owner)), FOwner(owner), FCaptionFont(SystemCaptionFont()),
      FCompanyText(*this), FAppNameText(*this), FCaptionText(*this),
      FOldFlags(owner->windowFlags()), FOldMargins(owner->contentsMargins()) {
    owner->installEventFilter(this);
    ApplyStyle();
}

TMSOfficeCaption::~TMSOfficeCaption() {
    QWidget* owner = FOwner.data();
    // A window tearing down its children has already cleared our entry in its
    // child list: it is going, so it must not be reshaped now.
    const bool ownerGoing = !owner || (parent() == owner && !owner->children().contains(this));
    delete FBar.data();
    for (auto& edge : FEdges)
        delete edge.data();
    if (!ownerGoing) RestoreOwner();
}

void TMSOfficeCaption::RestoreOwner() {
    FOwner->removeEventFilter(this);
    FOwner->setContentsMargins(FOldMargins);
    if (FOwner->windowFlags() != FOldFlags) {
        const bool visible = FOwner->isVisible();
        FOwner->setWindowFlags(FOldFlags);
        if (visible) FOwner->show();
    }
}

void TMSOfficeCaption::SetColor(COLORREF colour) {
    FColor = colour;
    Changed();
}

void TMSOfficeCaption::SetEnabled(TGradEnabled enabled) {
    FEnabled = enabled;
    Changed();
}

void TMSOfficeCaption::SetNumColors(int count) {
    if (count <= 0) return;
    FNumColors = std::min(count, 256);
    Changed();
}

void TMSOfficeCaption::SetBorderStyle(TFormBorderStyle style) {
    FBorderStyle = style;
    ApplyStyle();
}

void TMSOfficeCaption::SetBorderIcons(TBorderIcons icons) {
    FBorderIcons = icons;
    ApplyStyle();
}

QWidget* TMSOfficeCaption::TitleBar() const {
    return FBar.data();
}

bool TMSOfficeCaption::IsToolWindow() const {
    return FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin;
}

int TMSOfficeCaption::FrameWidth() const {
    switch (FBorderStyle) {
    case bsNone:
        return 0;
    case bsSizeable:
    case bsSizeToolWin:
        return GetSystemMetrics(SM_CXFRAME);
    default:
        return GetSystemMetrics(SM_CXDLGFRAME);
    }
}

int TMSOfficeCaption::FrameHeight() const {
    switch (FBorderStyle) {
    case bsNone:
        return 0;
    case bsSizeable:
    case bsSizeToolWin:
        return GetSystemMetrics(SM_CYFRAME);
    default:
        return GetSystemMetrics(SM_CYDLGFRAME);
    }
}

int TMSOfficeCaption::CaptionHeight() const {
    if (FBorderStyle == bsNone) return 0;
    return GetSystemMetrics(IsToolWindow() ? SM_CYSMCAPTION : SM_CYCAPTION);
}

QRect TMSOfficeCaption::CaptionRect() const {
    if (!FOwner || FBorderStyle == bsNone) return {};
    int left = 0, top = 0, right = FOwner->width();
    if (FOwner->isMinimized() || FBorderStyle == bsSingle || FBorderStyle == bsDialog ||
        FBorderStyle == bsToolWindow) {
        left += GetSystemMetrics(SM_CXDLGFRAME);
        right -= GetSystemMetrics(SM_CXDLGFRAME);
        top += GetSystemMetrics(SM_CYDLGFRAME);
    } else {
        left += GetSystemMetrics(SM_CXFRAME);
        right -= GetSystemMetrics(SM_CXFRAME);
        top += GetSystemMetrics(SM_CYFRAME);
    }
    const int bottom = top + CaptionHeight() - 1;
    const bool systemMenu = FBorderIcons & biSystemMenu;
    if (IsToolWindow()) {
        right -= GetSystemMetrics(SM_CXSMSIZE) + 2;
    } else {
        const int b = GetSystemMetrics(SM_CXSIZE);
        if (systemMenu && NewShell) right -= b + 2;
        if (FBorderStyle == bsDialog && (FBorderIcons & biHelp)) right -= b + 2;
        if (FBorderStyle != bsDialog && (FBorderIcons & (biMinimize | biMaximize))) right -= 2 * b;
        if (systemMenu && !NewShell && (FBorderStyle == bsSingle || FBorderStyle == bsSizeable))
            left += b;
    }
    if (left >= right) right = left + 2;
    return QRect(left, top, right - left, bottom - top);
}

bool TMSOfficeCaption::IsActive() const {
    if (FActiveKnown) return FLastActive;
    return FOwner && FOwner->isActiveWindow();
}

void TMSOfficeCaption::PaintGradient(QPainter& painter, COLORREF from, COLORREF to,
                                     const QRect& rect, int numColors) {
    // More bands than 256 cannot differ in colour; the cap also bounds the work.
    const int n = std::clamp(numColors, 1, 256);
    const int width = rect.width();
    for (int i = 0; i < n; ++i) {
        const int x0 = rect.left() + MulDiv(width, i, n);
        const int x1 = rect.left() + MulDiv(width, i + 1, n);
        COLORREF colour = from;
        if (n >= 2) {
            auto channel = [&](uint8_t a, uint8_t b) {
                return uint8_t(std::clamp(a + MulDiv(int(b) - int(a), i, n - 1), 0, 255));
            };
            colour = RGB(channel(GetRValue(from), GetRValue(to)),
                         channel(GetGValue(from), GetGValue(to)),
                         channel(GetBValue(from), GetBValue(to)));
        }
        if (x1 > x0)
            painter.fillRect(QRect(x0, rect.top(), x1 - x0, rect.height()), ToQColor(colour));
    }
}

void TMSOfficeCaption::PaintCaption(QPainter& painter, bool active) {
    FLastDrawn = {};
    if (!FOwner || FBorderStyle == bsNone) return;
    const QRect r = CaptionRect();
    const COLORREF base = GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    if (FEnabled == geAlways || (FEnabled == geWhenActive && active))
        PaintGradient(painter, FColor, base, r, FNumColors);
    else
        painter.fillRect(r, ToQColor(base));

    painter.save();
    painter.setClipRect(r);
    int left = r.left();
    if (NewShell && (FBorderIcons & biSystemMenu) &&
        (FBorderStyle == bsSingle || FBorderStyle == bsSizeable)) {
        left += 1;
        // QWidget::windowIcon falls back on the application's icon.
        QIcon icon = FOwner->windowIcon();
        if (icon.isNull()) icon = FOwner->style()->standardIcon(QStyle::SP_TitleBarMenuButton);
        const QSize size(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
        icon.paint(&painter, QRect(QPoint(left + 1, r.top() + 1), size));
        left += size.width() + 1;
    }

    const QString company = FCompanyText.Caption();
    const QString appName = FAppNameText.Caption();
    const QString caption = FCaptionText.Caption();
    auto width = [](const TCompanyText& text, const QString& s) {
        return text.Visible() ? QFontMetrics(text.Font()).horizontalAdvance(s) + 3 : 0;
    };
    const int companyW = width(FCompanyText, company);
    const int appNameW = width(FAppNameText, appName);
    const int captionW = width(FCaptionText, caption);
    const int W = r.width();
    bool showCompany = false, showAppName = false;
    int T = captionW;
    if (companyW + appNameW + captionW < W) {
        showCompany = showAppName = true;
        T = companyW + appNameW + captionW;
    } else if (appNameW + captionW < W) {
        showAppName = true;
        T = appNameW + captionW;
    }
    if (!NewShell && T < W) left += (W - T) / 2;

    auto draw = [&](const TCompanyText& text, const QString& s) -> QString {
        left += 3;
        painter.setPen(ToQColor(active ? text.ColorActive() : text.ColorInactive()));
        painter.setFont(text.Font());
        const QFontMetrics metrics(text.Font());
        const QRect room(left, r.top(), std::max(0, r.left() + r.width() - left), r.height());
        const QString shown = metrics.elidedText(s, Qt::ElideRight, room.width());
        painter.drawText(room, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        left += metrics.horizontalAdvance(shown);
        return shown;
    };
    if (showCompany && !company.isEmpty() && FCompanyText.Visible()) {
        draw(FCompanyText, company);
        FLastDrawn.Company = true;
    }
    if (showAppName && !appName.isEmpty() && FAppNameText.Visible()) {
        draw(FAppNameText, appName);
        FLastDrawn.AppName = true;
    }
    if (FCaptionText.Visible()) {
        FLastDrawn.CaptionShown = draw(FCaptionText, caption);
        FLastDrawn.Caption = true;
    }
    painter.restore();
}

void TMSOfficeCaption::ReadCaptionFont() {
    FCaptionFont = SystemCaptionFont();
}

void TMSOfficeCaption::FitFontHeight(QFont& font) const {
    // Character height (the em box without internal leading) is what
    // QFontInfo::pixelSize reports.
    const int target = QFontInfo(FCaptionFont).pixelSize();
    const int height = QFontInfo(font).pixelSize();
    font.setPixelSize(std::max(1, height - (height - target)));
    // Fonts with few sizes may land above the target: step down by the excess.
    const int excess = QFontInfo(font).pixelSize() - target;
    if (excess > 0) font.setPixelSize(std::max(1, font.pixelSize() - excess));
}

void TMSOfficeCaption::Changed() {
    if (FBar) FBar->update();
}

void TMSOfficeCaption::SystemChanged() {
    ReadCaptionFont();
    for (TCompanyText* text :
         {static_cast<TCompanyText*>(&FCompanyText), static_cast<TCompanyText*>(&FAppNameText),
          static_cast<TCompanyText*>(&FCaptionText)})
        text->SetFontKind(text->FontKind());
    Changed();
}

void TMSOfficeCaption::ApplyStyle() {
    if (!FOwner) return;
    const Qt::WindowFlags flags = FOldFlags | Qt::FramelessWindowHint;
    if (FOwner->windowFlags() != flags) {
        const bool visible = FOwner->isVisible();
        FOwner->setWindowFlags(flags);
        if (visible) FOwner->show();
    }
    if (FBorderStyle == bsNone) {
        delete FBar.data();
        for (auto& edge : FEdges)
            delete edge.data();
        FOwner->setContentsMargins(FOldMargins);
        return;
    }
    if (!FBar) FBar = new TMSOfficeCaptionBar(*this, FOwner);
    const TMSOfficeCaptionEdge::Side sides[] = {
        TMSOfficeCaptionEdge::Left, TMSOfficeCaptionEdge::Right, TMSOfficeCaptionEdge::Bottom};
    for (int i = 0; i < 3; ++i)
        if (!FEdges[i]) FEdges[i] = new TMSOfficeCaptionEdge(*this, FOwner, sides[i]);
    const int fx = FrameWidth(), fy = FrameHeight();
    FOwner->setContentsMargins(FOldMargins + QMargins(fx, fy + CaptionHeight(), fx, fy));
    LayoutChrome();
    FBar->SyncButtons();
    Changed();
}

void TMSOfficeCaption::LayoutChrome() {
    if (!FOwner || !FBar) return;
    const int w = FOwner->width(), h = FOwner->height();
    const int fx = FrameWidth(), fy = FrameHeight();
    const int top = fy + CaptionHeight();
    FBar->setGeometry(0, 0, w, top);
    const QRect places[] = {QRect(0, top, fx, h - top), QRect(w - fx, top, fx, h - top),
                            QRect(0, h - fy, w, fy)};
    for (int i = 0; i < 3; ++i) {
        if (!FEdges[i]) continue;
        FEdges[i]->setGeometry(places[i]);
        FEdges[i]->show();
        FEdges[i]->raise();
    }
    FBar->show();
    FBar->raise();
}

bool TMSOfficeCaption::eventFilter(QObject* watched, QEvent* event) {
    if (watched != FOwner) return false;
    switch (event->type()) {
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        FLastActive = event->type() == QEvent::WindowActivate;
        FActiveKnown = true;
        Changed();
        break;
    case QEvent::ActivationChange:
        FLastActive = FOwner->isActiveWindow();
        FActiveKnown = true;
        Changed();
        break;
    case QEvent::WindowTitleChange:
    case QEvent::WindowIconChange:
    case QEvent::ModifiedChange:
        Changed();
        break;
    case QEvent::WindowStateChange:
        if (FBar) FBar->SyncButtons();
        Changed();
        break;
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::ChildAdded: // children made later must not cover the bar
        LayoutChrome();
        break;
    case QEvent::ApplicationFontChange:
    case QEvent::ThemeChange:
        SystemChanged();
        break;
    default:
        break;
    }
    return false;
}
