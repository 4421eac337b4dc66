// The still-image component's scrolling-text modes: a message that runs
// right to left (".scm" files) and credits that rise line by line (".cms"
// files, or lines a caller fills in). Both are stepped by the messages
// WM_PV_SCROLLMESSAGE and WM_PV_SCROLLCREDITS, which ScrollTextTick posts.
#include "imaging/common/ColorRef.h"
#include "imaging/common/WindowMessage.h"
#include "imaging/still/ScrollText.h"
#include "imaging/still/TPMultiImage.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>
#include <QStringDecoder>
#include <algorithm>

namespace scrolltext {

QFont MakeFont(const Settings& s) {
    QFont font;
    if (QString::fromStdString(s.fontName).compare("SYSTEM", Qt::CaseInsensitive) == 0)
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    else
        font.setFamily(QString::fromStdString(s.fontName));
    int height = s.fontHeight;
    if (!s.fontHeightGiven && s.fontSize > 0) height = -((s.fontSize * 96 + 36) / 72);
    height = std::clamp(height, -kMaxFontPixels, kMaxFontPixels);
    if (height == 0) height = kDefaultFontHeight;
    font.setPixelSize(std::abs(height));
    font.setBold(s.bold);
    font.setItalic(s.italic);
    font.setUnderline(s.underline);
    font.setStrikeOut(s.strikeOut);
    if (height > 0) {
        // A cell height includes the internal leading: shrink the character
        // height until the font's line height matches.
        const int cell = QFontMetrics(font).height();
        if (cell > height) font.setPixelSize(std::max(1, height * height / cell));
    }
    return font;
}

QImage RenderText(const QString& text, const QFont& font, COLORREF fontColor, COLORREF backColor,
                  int extraWidth) {
    const QFontMetrics metrics(font);
    const int width =
        std::clamp(metrics.horizontalAdvance(text) + std::max(extraWidth, 0), 1, kMaxImageWidth);
    QImage image(width, std::max(metrics.height(), 1), QImage::Format_RGB32);
    if (image.isNull()) return image;
    image.fill(ToQColor(backColor));
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(ToQColor(fontColor));
    painter.drawText(0, metrics.ascent(), text);
    return image;
}

QString DecodeText(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    if (utf8.hasError()) return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    return text;
}

} // namespace scrolltext

namespace {

ScrollTextState& State(std::unique_ptr<ScrollTextState>& state) {
    if (!state) state = std::make_unique<ScrollTextState>();
    return *state;
}

// True when a step is due: every (speed + 1)-th message moves one pixel.
bool StepDue(ScrollTextState& s, int speed) {
    speed = std::clamp(speed, 0, scrolltext::kMaxSpeed);
    if (++s.ticks > speed) {
        s.ticks = 0;
        return true;
    }
    return false;
}

void ApplySettings(const scrolltext::Settings& settings, QFont& font, COLORREF& fontColor,
                   COLORREF& backColor, int& speed) {
    font = scrolltext::MakeFont(settings);
    fontColor = settings.fontColor;
    backColor = settings.backColor;
    speed = settings.speed;
}

} // namespace

bool TPMultiImage::ScrollTextRunning() const {
    return FScrollText && FScrollText->mode != ScrollTextState::Mode::None;
}

void TPMultiImage::StartScrollMessage(const std::string& fileName) {
    std::string bytes;
    scrolltext::ReadTextFile(fileName, bytes); // an unreadable file shows the default message
    const scrolltext::Message file = scrolltext::ParseMessage(bytes);
    ApplySettings(file.settings, ScrollFont, ScrollFontColor, ScrollBackColor, ScrollSpeed);
    ScrollMessage = file.text;

    ScrollTextState& s = State(FScrollText);
    if (s.mode == ScrollTextState::Mode::None) s.savedColor = FColor;
    s.text = scrolltext::RenderText(scrolltext::DecodeText(ScrollMessage), ScrollFont,
                                    ScrollFontColor, ScrollBackColor, 0);
    s.x = width();
    s.y = 0;
    s.ticks = 0;
    s.mode = ScrollTextState::Mode::Message;
    SetColor(ScrollBackColor);
    update();
}

void TPMultiImage::StartScrollCredits(const std::string& fileName) {
    std::string bytes;
    scrolltext::ReadTextFile(fileName, bytes);
    scrolltext::Credits file = scrolltext::ParseCredits(bytes);
    ApplySettings(file.settings, ScrollFont, ScrollFontColor, ScrollBackColor, ScrollSpeed);
    CreditLines = std::move(file.lines);
    CreditIndex = 0;
    ShowCreditLine();
}

void TPMultiImage::ShowCreditLine() {
    if (CreditLines.empty()) return;
    if (CreditIndex < 0 || std::size_t(CreditIndex) >= CreditLines.size()) CreditIndex = 0;
    QString line = scrolltext::DecodeText(CreditLines[std::size_t(CreditIndex)]);
    if (!line.startsWith(' ')) line.prepend(QStringLiteral("  "));
    if (!line.endsWith(' ')) line.append(' ');

    ScrollTextState& s = State(FScrollText);
    if (s.mode == ScrollTextState::Mode::None) s.savedColor = FColor;
    s.text = scrolltext::RenderText(line, ScrollFont, ScrollFontColor, ScrollBackColor,
                                    QFontMetrics(ScrollFont).averageCharWidth());
    s.x = 0;
    s.y = height();
    s.ticks = 0;
    s.mode = ScrollTextState::Mode::Credits;
    if (FColor != ScrollBackColor) SetColor(ScrollBackColor);
    update();
}

void TPMultiImage::StepScrollMessage() {
    if (!FScrollText || FScrollText->mode != ScrollTextState::Mode::Message) return;
    ScrollTextState& s = *FScrollText;
    if (!StepDue(s, ScrollSpeed)) return;
    --s.x;
    if (s.x + s.text.width() < 0) s.x = width();
    update();
}

void TPMultiImage::StepScrollCredits() {
    if (!FScrollText || FScrollText->mode != ScrollTextState::Mode::Credits) return;
    ScrollTextState& s = *FScrollText;
    if (!StepDue(s, ScrollSpeed)) return;
    --s.y;
    if (s.y + s.text.height() < -5) {
        // Past the top by more than 5 pixels: the next line, after the last the first.
        ++CreditIndex;
        ShowCreditLine();
        return;
    }
    update();
}

void TPMultiImage::PaintScrollText(QPainter& painter) {
    painter.fillRect(rect(), ToQColor(FColor));
    if (!ScrollTextRunning() || FScrollText->text.isNull()) return;
    const ScrollTextState& s = *FScrollText;
    if (s.mode == ScrollTextState::Mode::Message)
        painter.drawImage(s.x, (height() - s.text.height()) / 2, s.text);
    else
        painter.drawImage((width() - s.text.width()) / 2, s.y, s.text);
}

void TPMultiImage::StopScrollText(bool clearPicture) {
    if (ScrollTextRunning()) {
        ScrollTextState& s = *FScrollText;
        s.mode = ScrollTextState::Mode::None;
        s.text = QImage();
        s.ticks = 0;
        SetColor(s.savedColor);
    }
    if (clearPicture) FPicture.Clear();
    update();
}

void TPMultiImage::ScrollTextTick() {
    for (TPMultiImage* target : {this, ScrollPartner1, ScrollPartner2}) {
        PostMessage(target, WM_PV_SCROLLMESSAGE, 0, 0);
        PostMessage(target, WM_PV_SCROLLCREDITS, 0, 0);
    }
}
