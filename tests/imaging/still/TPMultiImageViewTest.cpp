// Property rules, notifications, clipboard, keys, rotation and window copies
// of the still-image component, on real widgets and the real modules.
#include "TestSupport.h"
#include "WidgetSupport.h"
#include "imaging/still/TPMultiImage.h"

#include "imaging/common/CursorTable.h"
#include "imaging/common/WindowMessage.h"

#include <QClipboard>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QScrollBar>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// Records the notification messages posted to it.
class NotifySink : public QObject {
  public:
    std::vector<intptr_t> senders;
    bool event(QEvent* e) override {
        if (auto* m = dynamic_cast<TMessageEvent*>(e); m && m->Message == WM_PV_NOTIFY) {
            EXPECT_EQ(m->WParam, 0);
            senders.push_back(m->LParam);
            return true;
        }
        return QObject::event(e);
    }
};

// An 8-bit picture whose colours only its palette knows: index i is
// (i, 255 - i, 7 * i), pixel (x, y) is index (x + 3 * y) % 200.
std::string PaletteBmp(const fs::path& dir, int w, int h) {
    QImage image(w, h, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 200; ++i)
        table.push_back(qRgb(i, 255 - i, (7 * i) & 0xFF));
    image.setColorTable(table);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, uint((x + 3 * y) % 200));
    const std::string path = (dir / "p.bmp").string();
    EXPECT_TRUE(image.save(QString::fromStdString(path), "BMP"));
    return path;
}

void Key(QWidget& target, int key, Qt::KeyboardModifiers mods) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QCoreApplication::sendEvent(&target, &press);
}

} // namespace

TEST(TPMultiImageView, StretchModesExcludeEachOtherAndRestoreTheView) {
    testsupport::widgetApp();
    const fs::path dir = testsupport::tempDir("mi-view");
    TPMultiImage image;
    // Creation registers the grab hand from the program's resources.
    const QCursor hand = CursorAt(TPMultiImage::crGrabHand);
    EXPECT_EQ(hand.shape(), Qt::BitmapCursor);
    EXPECT_EQ(hand.hotSpot(), QPoint(16, 16));
    image.SetImageName(PaletteBmp(dir, 200, 100));
    EXPECT_EQ(image.width(), 105);
    image.resize(100, 100);
    image.ScrollOrigin = QPoint(30, 20);
    image.SetStretchRatio(true);
    EXPECT_EQ(image.ScrollOrigin, QPoint(0, 0));
    EXPECT_DOUBLE_EQ(image.ZoomFactor, 0.5);
    image.SetStretch(true);
    EXPECT_FALSE(image.StretchRatio());
    EXPECT_EQ(image.ScrollOrigin, QPoint(30, 20));
    EXPECT_DOUBLE_EQ(image.ZoomFactor, 1.0);
    image.SetStretchRatio(true);
    EXPECT_FALSE(image.Stretch());
    image.Loaded();
    image.SetBounds(0, 0, 50, 100);
    EXPECT_DOUBLE_EQ(image.ZoomFactor, 0.25);

    const struct {
        int value;
        int quality, smooth;
    } rows[] = {{0, 25, 5}, {1, 1, 1}, {100, 100, 100}, {101, 25, 5}, {-3, 25, 5}};
    for (const auto& row : rows) {
        image.SetJPegSaveQuality(row.value);
        image.SetJPegSaveSmooth(row.value);
        EXPECT_EQ(image.JPegSaveQuality(), row.quality) << row.value;
        EXPECT_EQ(image.JPegSaveSmooth(), row.smooth) << row.value;
    }
}

TEST(TPMultiImageView, PictureChangesSizeTheControlAndResetTheView) {
    testsupport::widgetApp();
    const fs::path dir = testsupport::tempDir("mi-change");
    const std::string file = PaletteBmp(dir, 23, 11);
    const struct {
        bool autoSize;
        QSize control;
        bool opaque;
    } rows[] = {{true, QSize(23, 11), true}, {false, QSize(105, 105), false}};
    for (const auto& row : rows) {
        TPMultiImage image;
        int changes = 0;
        image.OnPictureChanged = [&](TPMultiImage*) { ++changes; };
        image.SetAutoSize(row.autoSize);
        image.ZoomFactor = 3.0;
        image.ScrollOrigin = QPoint(5, 6);
        image.SetImageName(file);
        EXPECT_EQ(image.size(), row.control);
        EXPECT_EQ(image.testAttribute(Qt::WA_OpaquePaintEvent), row.opaque);
        EXPECT_DOUBLE_EQ(image.ZoomFactor, 1.0);
        EXPECT_EQ(image.ScrollOrigin, QPoint(0, 0));
        EXPECT_EQ(changes, 1);
    }
}

TEST(TPMultiImageView, ScrollBarSettings) {
    testsupport::widgetApp();
    const fs::path dir = testsupport::tempDir("mi-bars");
    TPMultiImage image;
    image.SetImageName(PaletteBmp(dir, 200, 100));
    image.SetBounds(0, 0, 100, 100);
    image.ScrollOrigin = QPoint(150, 7);
    // Without the bars the visible rest (50 pixels) would end short of the
    // control: x moves back by 50 and one more; y fits and stays.
    image.SetShowScrollbars(false);
    EXPECT_EQ(image.ScrollOrigin, QPoint(99, 7));
    image.SetScrolling(false);
    EXPECT_FALSE(image.VerticalBar()->isEnabled());
    image.SetScrolling(true);
    EXPECT_TRUE(image.HorizontalBar()->isEnabled());

    image.Picture().Clear();
    image.SetColor(RGB(255, 255, 255));
    image.SetBorderStyle(bsSingle);
    QImage shot = image.grab().toImage();
    EXPECT_EQ(shot.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(99, 50), qRgb(0, 0, 0));
    EXPECT_EQ(shot.pixel(50, 50), qRgb(255, 255, 255));
    image.SetBorderStyle(bsNone);
    shot = image.grab().toImage();
    EXPECT_EQ(shot.pixel(0, 0), qRgb(255, 255, 255));
}

TEST(TPMultiImageView, NotifiesAfterLoadsAndViewChanges) {
    testsupport::widgetApp();
    const fs::path dir = testsupport::tempDir("mi-notify");
    const std::string file = PaletteBmp(dir, 20, 10);
    TPMultiImage image;
    NotifySink sink;
    image.NotifyWindow = &sink;
    image.SetImageName(file);
    image.SetImageName((dir / "missing.bmp").string()); // no completed load
    QCoreApplication::processEvents();
    EXPECT_EQ(sink.senders.size(), 1u);
    image.SetCenter(true);
    image.SetStretchRatio(true);
    image.SetEditAnnotat(true);
    image.SetTileWindow(true); // not a notifying property
    QCoreApplication::processEvents();
    ASSERT_EQ(sink.senders.size(), 4u);
    for (intptr_t sender : sink.senders)
        EXPECT_EQ(sender, intptr_t(&image));
}

TEST(TPMultiImageView, ClipboardKeepsThePaletteAndKeysDriveIt) {
    testsupport::widgetApp();
    const fs::path dir = testsupport::tempDir("mi-clip");
    TPMultiImage from, to;
    from.ImageReadRes = lColorVga; // as stored: 8 bits with the palette
    from.SetImageName(PaletteBmp(dir, 23, 11));
    ASSERT_NE(from.Picture().Bitmap().palette(), 0u);
    const QImage original = from.Picture().Image();
    from.CopyToClipboard();
    to.PasteFromClipboard();
    ASSERT_TRUE(to.Picture().HasBitmapHandle());
    EXPECT_EQ(to.Picture().Image(), original);
    const HPALETTE palette = to.Picture().Bitmap().palette();
    ASSERT_NE(palette, 0u);
    PALETTEENTRY entry{};
    ASSERT_EQ(GetPaletteEntries(palette, 150, 1, &entry), 1u);
    EXPECT_EQ(entry.peRed, 150);
    EXPECT_EQ(entry.peGreen, 105);

    // Cut: the picture goes to the undo history and the clipboard.
    QApplication::clipboard()->clear();
    Key(from, Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(from.Picture().Empty());
    ASSERT_NE(DllSP96::UndoEntry(0), nullptr);
    EXPECT_EQ(DeviceBitmapToImage(DllSP96::UndoEntry(0)->handle()), original);
    Key(from, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(from.Picture().Image(), original);

    // A plain image from another program is taken too; nonsense in our
    // format is passed over for it.
    QImage plain(5, 4, QImage::Format_RGB32);
    plain.fill(qRgb(1, 2, 3));
    auto* data = new QMimeData;
    data->setData(QStringLiteral("application/x-zentrope-dib"), QByteArray(60, '\x7f'));
    data->setImageData(plain);
    QApplication::clipboard()->setMimeData(data);
    Key(to, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(to.Picture().Width(), 5);
    EXPECT_EQ(to.Picture().Image().pixel(2, 2), qRgb(1, 2, 3));
    Key(from, Qt::Key_Delete, Qt::ShiftModifier);
    Key(to, Qt::Key_Insert, Qt::ControlModifier); // copies to the clipboard
    Key(from, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(from.Picture().Width(), 5);

    // The clipboard messages a host may send.
    TMessageEvent cut(0x0300, 0, 0), paste(0x0302, 0, 0);
    QCoreApplication::sendEvent(&from, &cut);
    EXPECT_TRUE(from.Picture().Empty());
    QCoreApplication::sendEvent(&from, &paste);
    EXPECT_EQ(from.Picture().Width(), 5);
}

TEST(TPMultiImageView, RotatesAQuarterTurnCounterClockwise) {
    testsupport::widgetApp();
    QImage source(40, 20, QImage::Format_RGB32);
    source.fill(qRgb(0, 0, 255));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x)
            source.setPixel(x, y, qRgb(255, 0, 0));
    TPMultiImage image;
    ASSERT_TRUE(image.Picture().AssignImage(source));
    std::vector<int> progress;
    image.OnProgress = [&](TPMultiImage*, int16_t p, const std::string&, bool&) {
        progress.push_back(p);
    };
    image.RotatePicture(0, 0, 90.0, 0, 0);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.front(), 0);
    EXPECT_EQ(image.Picture().Width(), 20);
    EXPECT_EQ(image.Picture().Height(), 40);
    const QImage rotated = image.Picture().Image();
    EXPECT_EQ(rotated.pixel(2, 37), qRgb(255, 0, 0));
    EXPECT_EQ(rotated.pixel(2, 2), qRgb(0, 0, 255));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(TPMultiImageView, CopiesTheWindowsPixels) {
    testsupport::widgetApp();
    QWidget window;
    window.resize(30, 20);
    window.setAutoFillBackground(true);
    QPalette green;
    green.setColor(QPalette::Window, QColor(0, 200, 0));
    window.setPalette(green);
    QWidget child(&window);
    child.setGeometry(0, 0, 10, 10);
    child.setAutoFillBackground(true);
    QPalette red;
    red.setColor(QPalette::Window, QColor(220, 0, 0));
    child.setPalette(red);
    TPMultiImage image;
    image.CopyFromWindow(&window);
    ASSERT_EQ(image.Picture().Width(), 30);
    EXPECT_EQ(image.Picture().Height(), 20);
    EXPECT_EQ(image.Picture().Image().pixel(5, 5), qRgb(220, 0, 0));
    EXPECT_EQ(image.Picture().Image().pixel(25, 15), qRgb(0, 200, 0));
}
