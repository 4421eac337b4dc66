// make-resources FOLDER: draws the program's bitmap resources and writes
// them into FOLDER as 8-bit indexed BMP files (NAME.bmp, upper-case names),
// which the build embeds under ":/bitmaps". Nothing is taken from elsewhere.
#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygon>
#include <cstdio>

namespace {

// The splash picture: a diagonal colour gradient with the program's name.
QImage MakeSplash() {
    QImage image(400, 260, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 400, 260);
    gradient.setColorAt(0.0, QColor(20, 30, 120));
    gradient.setColorAt(0.5, QColor(140, 40, 150));
    gradient.setColorAt(1.0, QColor(250, 170, 40));
    painter.fillRect(image.rect(), gradient);
    QFont font(QStringLiteral("Sans Serif"));
    font.setPixelSize(44);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 0));
    const QRect upper(0, 60, 400, 70), lower(0, 130, 400, 70);
    painter.drawText(upper.translated(3, 3), Qt::AlignCenter, QStringLiteral("Quillon's"));
    painter.drawText(lower.translated(3, 3), Qt::AlignCenter, QStringLiteral("Zentrope"));
    painter.setPen(QColor(255, 255, 255));
    painter.drawText(upper, Qt::AlignCenter, QStringLiteral("Quillon's"));
    painter.drawText(lower, Qt::AlignCenter, QStringLiteral("Zentrope"));
    painter.end();
    // A palette built from the picture itself keeps the gradient smooth.
    return image.convertToFormat(QImage::Format_Indexed8, Qt::DiffuseDither);
}

// The page and frame buttons: an arrow pointing left or right, with a bar
// at its tip for "first" and "last".
QImage MakeArrow(bool right, bool bar) {
    QImage image(16, 16, QImage::Format_Indexed8);
    image.setColorTable({qRgb(192, 192, 192), qRgb(0, 0, 0)});
    image.fill(0);
    auto set = [&](int x, int y) { image.setPixel(right ? 15 - x : x, y, 1); };
    if (bar)
        for (int y = 3; y <= 12; ++y)
            for (int x = 3; x <= 4; ++x)
                set(x, y);
    // Arrow head: column x spans rows 8 - (x - 5) .. 7 + (x - 5), up to x = 12.
    for (int x = 6; x <= 12; ++x)
        for (int y = 8 - (x - 5); y <= 7 + (x - 5); ++y)
            set(x, y);
    return image;
}

// The program's icon: a white "Z" on the splash picture's colours.
QImage MakeProgramIcon() {
    QImage image(32, 32, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 32, 32);
    gradient.setColorAt(0.0, QColor(20, 30, 120));
    gradient.setColorAt(1.0, QColor(250, 170, 40));
    painter.fillRect(image.rect(), gradient);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255));
    painter.drawPolygon(QPolygon({{7, 6},
                                  {25, 6},
                                  {25, 10},
                                  {13, 22},
                                  {25, 22},
                                  {25, 26},
                                  {7, 26},
                                  {7, 22},
                                  {19, 10},
                                  {7, 10}}));
    painter.end();
    return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
}

bool Write(const QDir& folder, const char* name, const QImage& image) {
    const QString path = folder.filePath(QString::fromLatin1(name) + QStringLiteral(".bmp"));
    if (image.format() != QImage::Format_Indexed8 || !image.save(path, "BMP")) {
        std::fprintf(stderr, "make-resources: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-resources FOLDER\n");
        return 2;
    }
    // Drawing text needs a GUI application; no display is needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("."))) return 1;
    const bool ok = Write(folder, "SPLASH", MakeSplash()) &&
                    Write(folder, "PVTB_FIRST", MakeArrow(false, true)) &&
                    Write(folder, "PVTB_PRIOR", MakeArrow(false, false)) &&
                    Write(folder, "PVTB_NEXT", MakeArrow(true, false)) &&
                    Write(folder, "PVTB_LAST", MakeArrow(true, true)) &&
                    Write(folder, "ZENTROPE", MakeProgramIcon());
    return ok ? 0 : 1;
}
