#pragma once
// The document viewer: one page of a multi-page TIFF file at a time, drawn
// at a zoom in percent, centred in the control, scaled down with averaging
// so that text and line art stay readable (black-and-white pages turn to
// greys rather than losing lines). It reports each page's size, index and
// the page count after the page loads, and load progress with a Cancel
// answer. This is what the open dialog's page preview needs of a document
// component; scanning, deskewing and annotation are not part of it.
#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>

class PVDocumentImage;

// percent 0..100; setting cancel stops the load, which then fails.
using TDocProgress = std::function<void(PVDocumentImage* sender, int16_t percent, bool& cancel)>;
// After a page loaded: its size, its zero-based index and the file's page count.
using TDocPageInfo = std::function<void(PVDocumentImage* sender, int32_t width, int32_t height,
                                        int16_t page, int16_t pageCount)>;

class PVDocumentImage : public QWidget {
    Q_OBJECT
  public:
    explicit PVDocumentImage(QWidget* parent = nullptr);

    // Reads page `page` (zero-based) of a TIFF file at the zoom in force. On
    // failure or cancel the viewer is empty and false comes back; the
    // codec binding holds the reason.
    bool LoadPage(const std::string& fileName, int16_t page);
    // Moves within the file last loaded; false when there is no such page.
    bool FirstPage();
    bool PriorPage();
    bool NextPage();
    bool LastPage();
    // Empties the viewer; the file is forgotten.
    void Clear();

    // 100 = one page pixel per screen pixel; at least 1.
    int Zoom() const { return FZoom; }
    void SetZoom(int percent);
    bool Center = true;

    const std::string& FileName() const { return FFileName; }
    bool HasPage() const { return !FPage.isNull(); }
    int32_t PageWidth() const { return FPage.width(); }
    int32_t PageHeight() const { return FPage.height(); }
    int16_t PageIndex() const { return FPageIndex; }
    int16_t PageCount() const { return FPageCount; }
    // The page as drawn at the current zoom (null without a page).
    const QImage& Shown() const { return FShown; }

    TDocProgress OnProgress;
    TDocPageInfo OnPageInfo;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    static int16_t ProgressCallback(int16_t percent, void* user);
    void Rescale();

    std::string FFileName;
    QImage FPage;  // the page at its own size
    QImage FShown; // scaled for the zoom
    int16_t FPageIndex = 0;
    int16_t FPageCount = 0;
    int FZoom = 100;
};
