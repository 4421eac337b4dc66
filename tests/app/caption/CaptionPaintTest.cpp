// The caption painter on real windows: texts and fonts, colours by the active
// state, and the title bar's mouse handling.
#include "WidgetSupport.h"
#include "app/TMSOfficeCaption.h"
#include "app/TMSOfficeCaptionBar.h"
#include "platform/Gdi.h"
#include "platform/Metrics.h"
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

COLORREF PixelColour(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

QImage Render(TMSOfficeCaption& caption, bool active) {
    QImage image(caption.Owner()->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    caption.PaintCaption(painter, active);
    return image;
}

void SetTexts(TMSOfficeCaption& caption, const QString& company, const QString& app) {
    caption.CompanyText().SetCaption(company);
    caption.CompanyText().SetFontKind(fkSystemBI);
    caption.AppNameText().SetCaption(app);
    caption.AppNameText().SetFontKind(fkSystemB);
}

int TextWidth(TCompanyText& text) {
    return QFontMetrics(text.Font()).horizontalAdvance(text.Caption()) + 3;
}

TEST(CaptionTexts, NarrowWindowsDropCompanyThenApplication) {
    testsupport::widgetApp();
    QWidget window;
    window.setWindowTitle("Document");
    window.resize(600, 100);
    auto* caption = new TMSOfficeCaption(&window);
    SetTexts(*caption, "Quillon -", "Zentrope -");
    const int all = TextWidth(caption->CompanyText()) + TextWidth(caption->AppNameText()) +
                    TextWidth(caption->CaptionText());
    const int two = all - TextWidth(caption->CompanyText());
    const int chrome = window.width() - caption->CaptionRect().width();
    const struct {
        int captionWidth;
        bool company, app;
    } cases[] = {{all + 1, true, true}, {all, false, true}, {two + 1, false, true},
                 {two, false, false},   {20, false, false}, {600, true, true}};
    for (const auto& c : cases) {
        window.resize(c.captionWidth + chrome, 100);
        ASSERT_EQ(caption->CaptionRect().width(), c.captionWidth);
        Render(*caption, true);
        const auto drawn = caption->LastDrawn();
        EXPECT_EQ(drawn.Company, c.company) << c.captionWidth;
        EXPECT_EQ(drawn.AppName, c.app) << c.captionWidth;
        EXPECT_TRUE(drawn.Caption) << c.captionWidth;
    }
    // With room for half of it (beside the icon), the caption is cut with an
    // ellipsis.
    window.resize(
        GetSystemMetrics(SM_CXSMICON) + 5 + TextWidth(caption->CaptionText()) / 2 + chrome, 100);
    Render(*caption, true);
    const QString shown = caption->LastDrawn().CaptionShown;
    ASSERT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
    EXPECT_GE(shown.size(), 3);
    EXPECT_TRUE(QString("Document").startsWith(shown.chopped(1)));
    // Hidden or empty texts are not drawn and take no room.
    window.resize(all + 1 + chrome, 100);
    caption->CompanyText().SetVisible(false);
    caption->AppNameText().SetCaption("");
    Render(*caption, true);
    EXPECT_FALSE(caption->LastDrawn().Company);
    EXPECT_FALSE(caption->LastDrawn().AppName);
    EXPECT_EQ(caption->LastDrawn().CaptionShown, "Document");
}

TEST(CaptionTexts, TextColoursFollowTheActiveState) {
    testsupport::widgetApp();
    QWidget window;
    window.setWindowTitle("WWWWWWWW");
    window.resize(400, 80);
    auto* caption = new TMSOfficeCaption(&window);
    caption->SetBorderStyle(bsDialog); // no icon: only gradient and text
    caption->SetEnabled(geNever);
    caption->CaptionText().SetColorActive(RGB(255, 255, 0));
    caption->CaptionText().SetColorInactive(RGB(0, 255, 0));
    for (bool active : {true, false}) {
        const QImage image = Render(*caption, active);
        const QRect r = caption->CaptionRect();
        int textPixels = 0;
        for (int x = r.left(); x < r.left() + r.width(); ++x)
            for (int y = r.top(); y < r.top() + r.height(); ++y)
                if (PixelColour(image, x, y) == (active ? RGB(255, 255, 0) : RGB(0, 255, 0)))
                    ++textPixels;
        EXPECT_GT(textPixels, 20) << active;
    }
}

TEST(CaptionBackground, GradientOrSolidByEnabledAndState) {
    testsupport::widgetApp();
    const COLORREF activeC = GetSysColor(COLOR_ACTIVECAPTION);
    const COLORREF inactiveC = GetSysColor(COLOR_INACTIVECAPTION);
    const struct {
        TGradEnabled enabled;
        bool active;
        COLORREF left, right;
    } cases[] = {
        {geAlways, true, RGB(200, 0, 0), activeC},
        {geAlways, false, RGB(200, 0, 0), inactiveC},
        {geWhenActive, true, RGB(200, 0, 0), activeC},
        {geWhenActive, false, inactiveC, inactiveC},
        {geNever, true, activeC, activeC},
        {geNever, false, inactiveC, inactiveC},
    };
    for (const auto& c : cases) {
        QWidget window;
        window.resize(300, 60);
        auto* caption = new TMSOfficeCaption(&window);
        caption->SetBorderStyle(bsDialog);
        caption->CaptionText().SetVisible(false);
        caption->SetColor(RGB(200, 0, 0));
        caption->SetEnabled(c.enabled);
        const QImage image = Render(*caption, c.active);
        const QRect r = caption->CaptionRect();
        const int y = r.top() + r.height() / 2;
        EXPECT_EQ(PixelColour(image, r.left(), y), c.left) << c.enabled << c.active;
        EXPECT_EQ(PixelColour(image, r.left() + r.width() - 1, y), c.right)
            << c.enabled << c.active;
    }
}

TEST(CaptionBar, ShowsTheCaptionAndFollowsActivationAndTitle) {
    testsupport::widgetApp();
    QWidget window;
    window.resize(320, 120);
    auto* caption = new TMSOfficeCaption(&window);
    caption->SetEnabled(geWhenActive);
    window.setWindowTitle("First");
    window.show();
    QWidget* bar = caption->TitleBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->geometry(), QRect(0, 0, 320, caption->FrameHeight() + caption->CaptionHeight()));

    window.activateWindow();
    QApplication::processEvents();
    QWidget other;
    other.show();
    other.activateWindow();
    QApplication::processEvents();
    ASSERT_TRUE(caption->ActiveKnown());
    EXPECT_FALSE(caption->IsActive());
    const QRect r = caption->CaptionRect();
    const QImage inactive = bar->grab().toImage();
    EXPECT_EQ(PixelColour(inactive, r.left() + r.width() - 2, r.top() + 1),
              GetSysColor(COLOR_INACTIVECAPTION));

    window.activateWindow();
    QApplication::processEvents();
    EXPECT_TRUE(caption->IsActive());
    const QImage active = bar->grab().toImage();
    EXPECT_EQ(PixelColour(active, r.left() + r.width() - 2, r.top() + 1),
              GetSysColor(COLOR_ACTIVECAPTION));

    // The caption text is the window's title, both ways.
    window.setWindowTitle("Second[*]");
    window.setWindowModified(true);
    EXPECT_EQ(caption->CaptionText().Caption(), "Second*");
    caption->CaptionText().SetCaption("Third");
    EXPECT_EQ(window.windowTitle(), "Third");
    const QImage before = bar->grab().toImage();
    window.setWindowTitle("A much longer title");
    EXPECT_NE(bar->grab().toImage(), before);
    EXPECT_EQ(caption->LastDrawn().CaptionShown, "A much longer title");
}

TEST(CaptionFonts, FontKindAndFontSetters) {
    testsupport::widgetApp();
    QWidget window;
    auto* caption = new TMSOfficeCaption(&window);
    TCompanyText& text = caption->CompanyText();
    const QFont base = caption->CaptionFont();
    EXPECT_EQ(text.FontKind(), fkSystem);
    const struct {
        TFontKind kind;
        bool bold, italic;
    } kinds[] = {{fkSystemBI, true, true},
                 {fkSystemI, false, true},
                 {fkSystemB, true, false},
                 {fkSystem, base.bold(), base.italic()}};
    for (const auto& k : kinds) {
        text.SetFontKind(k.kind);
        EXPECT_EQ(text.Font().bold(), k.bold) << k.kind;
        EXPECT_EQ(text.Font().italic(), k.italic) << k.kind;
        EXPECT_EQ(text.Font().family(), base.family()) << k.kind;
    }
    QFont big = base;
    big.setPixelSize(QFontInfo(base).pixelSize() * 3);
    text.SetFont(big);
    EXPECT_EQ(text.FontKind(), fkCustom);
    EXPECT_EQ(QFontInfo(text.Font()).pixelSize(), QFontInfo(big).pixelSize());
    text.SetFontKind(fkCustom); // leaves the font alone
    EXPECT_EQ(QFontInfo(text.Font()).pixelSize(), QFontInfo(big).pixelSize());
    // Auto height: any font set is brought to the caption font's height and
    // the kind stays.
    text.SetFontKind(fkAutoHeight);
    EXPECT_EQ(QFontInfo(text.Font()).pixelSize(), QFontInfo(base).pixelSize());
    text.SetFont(big);
    EXPECT_EQ(text.FontKind(), fkAutoHeight);
    EXPECT_EQ(QFontInfo(text.Font()).pixelSize(), QFontInfo(base).pixelSize());
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), Qt::LeftButton,
                      buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

TEST(CaptionBar, DragMovesAndDoubleClickMaximises) {
    testsupport::widgetApp();
    QWidget window;
    window.setGeometry(100, 100, 300, 150);
    auto* caption = new TMSOfficeCaption(&window);
    window.show();
    QApplication::processEvents();
    QWidget* bar = caption->TitleBar();
    const QPoint start = window.pos();
    SendMouse(bar, QEvent::MouseButtonPress, QPoint(50, 10), Qt::LeftButton);
    QMouseEvent move(QEvent::MouseMove, QPointF(80, 40),
                     QPointF(window.mapToGlobal(QPoint(80, 40))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(bar, &move);
    SendMouse(bar, QEvent::MouseButtonRelease, QPoint(80, 40), Qt::NoButton);
    EXPECT_EQ(window.pos(), start + QPoint(30, 30));

    SendMouse(bar, QEvent::MouseButtonDblClick, QPoint(50, 10), Qt::LeftButton);
    EXPECT_TRUE(window.isMaximized());
    SendMouse(bar, QEvent::MouseButtonDblClick, QPoint(50, 10), Qt::LeftButton);
    EXPECT_FALSE(window.isMaximized());
    // A dialog frame does not maximise.
    caption->SetBorderStyle(bsDialog);
    SendMouse(caption->TitleBar(), QEvent::MouseButtonDblClick, QPoint(50, 10), Qt::LeftButton);
    EXPECT_FALSE(window.isMaximized());
}

TEST(CaptionBar, RightEdgeResizesASizeableWindow) {
    testsupport::widgetApp();
    QWidget window;
    window.setGeometry(50, 50, 300, 150);
    auto* caption = new TMSOfficeCaption(&window);
    window.show();
    QApplication::processEvents();
    auto* edge = window.findChild<TMSOfficeCaptionEdge*>("MSOfficeCaptionRightEdge");
    ASSERT_NE(edge, nullptr);
    SendMouse(edge, QEvent::MouseButtonPress, QPoint(1, 20), Qt::LeftButton);
    QMouseEvent move(QEvent::MouseMove, QPointF(41, 20), QPointF(edge->mapToGlobal(QPoint(41, 20))),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(edge, &move);
    SendMouse(edge, QEvent::MouseButtonRelease, QPoint(41, 20), Qt::NoButton);
    EXPECT_EQ(window.width(), 340);
    EXPECT_EQ(edge->geometry().right(), 339); // the chrome followed
    EXPECT_EQ(caption->TitleBar()->width(), 340);
}

TEST(CaptionBar, ButtonsPerStyleAndTheyWork) {
    testsupport::widgetApp();
    const TBorderIcons all = biSystemMenu | biMinimize | biMaximize;
    const struct {
        TFormBorderStyle style;
        TBorderIcons icons;
        bool close, min, max, help;
    } cases[] = {
        {bsSizeable, all, true, true, true, false},
        {bsSingle, biSystemMenu, true, false, false, false},
        {bsDialog, all | biHelp, true, false, false, true},
        {bsToolWindow, all, true, false, false, false},
        {bsSizeable, 0, false, false, false, false},
    };
    for (const auto& c : cases) {
        QWidget window;
        window.resize(300, 150);
        auto* caption = new TMSOfficeCaption(&window);
        caption->SetBorderStyle(c.style);
        caption->SetBorderIcons(c.icons);
        window.show();
        auto* bar = static_cast<TMSOfficeCaptionBar*>(caption->TitleBar());
        EXPECT_EQ(bar->CloseButton()->isVisible(), c.close) << c.style;
        EXPECT_EQ(bar->MinimizeButton()->isVisible(), c.min) << c.style;
        EXPECT_EQ(bar->MaximizeButton()->isVisible(), c.max) << c.style;
        EXPECT_EQ(bar->HelpButton()->isVisible(), c.help) << c.style;
        // Buttons stay right of the caption area, inside the frame.
        const QRect r = caption->CaptionRect();
        for (QToolButton* b : bar->findChildren<QToolButton*>())
            if (b->isVisible()) {
                EXPECT_GE(b->x(), r.left() + r.width()) << b->objectName().toStdString();
                EXPECT_LE(b->geometry().right(), 300 - caption->FrameWidth())
                    << b->objectName().toStdString();
            }
        if (c.max) {
            bar->MaximizeButton()->click();
            EXPECT_TRUE(window.isMaximized());
            bar->MaximizeButton()->click();
            EXPECT_FALSE(window.isMaximized());
        }
        if (c.close) {
            bar->CloseButton()->click();
            EXPECT_FALSE(window.isVisible());
        }
    }
}

} // namespace
