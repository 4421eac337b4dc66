// The folder browser: filter items and mask, folder tree, drives, and the
// window's resize rules.
#include "MainFormFixtures.h"
#include "TestSupport.h"
#include "WidgetSupport.h"

#include "app/TMainForm.h"

#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QListWidget>
#include <QProgressBar>
#include <QScrollArea>
#include <QStatusBar>
#include <gtest/gtest.h>

using namespace mainform;
namespace fs = std::filesystem;

namespace {

QStringList Texts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text().trimmed();
    return texts;
}

} // namespace

TEST(Browser, MaskMatchesEachWildcardCaseBlind) {
    struct Row {
        const char* name;
        const char* mask;
        bool matches;
    };
    const Row rows[] = {
        {"a.gif", "*.GIF", true},
        {"A.GIF", "*.gif", true},
        {"a.gif.bak", "*.gif", false},
        {"agif", "*.gif", false},
        {"b.png", "*.JPG;*.PNG", true},
        {"b.png", " *.jpg ; *.png ", true},
        {"b.pn", "*.JPG;*.PNG", false},
        {"readme", "*.*", true},
        {"x.tif", "", true},
        {"x.tif", ";;", true},
        {"c.jpg", "c?jpg", true},
        {"Select file type", "Select file type", true},
        {"c.jpg", "Select file type", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TMainForm::MatchesMask(row.name, row.mask), row.matches)
            << row.name << " / " << row.mask;
}

TEST(Browser, FilterItemsSetTheFileListMask) {
    testsupport::widgetApp();
    const auto dir = testsupport::tempDir("mainform-filter");
    for (const char* name :
         {"a.gif", "b.JPG", "c.pcx", "d.bmp", "e.png", "f.tif", "g.txt", "h.wmf", "i.dxf"})
        testsupport::writeFile(dir / name, {1, 2, 3});
    fs::create_directories(dir / "sub.gif"); // a folder is never a file entry
    TMainForm form;
    EXPECT_EQ(form.ComboBox1->currentText(), "Select file type");
    EXPECT_EQ(form.ComboBox1->maxVisibleItems(), 15);
    QStringList items;
    for (int i = 0; i < form.ComboBox1->count(); ++i)
        items << form.ComboBox1->itemText(i);
    EXPECT_EQ(items, (QStringList{"*.JPG;*.GIF;*.PCX;*.BMP;*.PNG;*.TIF", "*.JPG", "*.GIF", "*.PCX",
                                  "*.BMP", "*.PNG", "*.TIF"}));
    EXPECT_EQ(form.FileMask(), "*.gif;*.jpg;*.pcx;*.bmp;*.wmf;*.ico;*.scm;*.png;*.cms;*.tif;*.pcd;"
                               "*.dxf;*.tga;*.eps");

    form.SetDirectory(QString::fromStdString(dir.string()));
    EXPECT_EQ(Texts(form.FileListBox1), (QStringList{"a.gif", "b.JPG", "c.pcx", "d.bmp", "e.png",
                                                     "f.tif", "h.wmf", "i.dxf"}));
    struct Row {
        int item;
        QStringList files;
    };
    const Row rows[] = {
        {0, {"a.gif", "b.JPG", "c.pcx", "d.bmp", "e.png", "f.tif"}},
        {1, {"b.JPG"}},
        {2, {"a.gif"}},
        {6, {"f.tif"}},
    };
    for (const Row& row : rows) {
        form.ComboBox1->setCurrentIndex(row.item);
        EXPECT_EQ(form.FileMask(), form.ComboBox1->itemText(row.item));
        EXPECT_EQ(Texts(form.FileListBox1), row.files) << row.item;
    }
    // A typed mask applies as it is typed.
    form.ComboBox1->setEditText("*.txt");
    EXPECT_EQ(Texts(form.FileListBox1), QStringList{"g.txt"});
}

TEST(Browser, FolderListShowsAncestorsAndSubfoldersAndMovesTheFileList) {
    testsupport::widgetApp();
    const auto dir = testsupport::tempDir("mainform-folders");
    fs::create_directories(dir / "Beta" / "inner");
    fs::create_directories(dir / "alpha");
    testsupport::writeFile(dir / "Beta" / "in-beta.gif", {1});
    testsupport::writeFile(dir / "top.gif", {1});
    TMainForm form;
    const QString root = QString::fromStdString(dir.string());
    form.SetDirectory(root);
    const QStringList parts = QDir::cleanPath(root).split('/', Qt::SkipEmptyParts);
    QStringList expected{"/"};
    expected << parts << "alpha"
             << "Beta";
    EXPECT_EQ(Texts(form.DirectoryListBox1), expected);
    EXPECT_EQ(form.DirectoryListBox1->currentRow(), int(parts.size()));
    EXPECT_EQ(Texts(form.FileListBox1), QStringList{"top.gif"});

    // Choosing a subfolder moves both lists there; choosing an ancestor goes up.
    QListWidgetItem* beta = form.DirectoryListBox1->item(int(parts.size()) + 2);
    emit form.DirectoryListBox1->itemActivated(beta);
    EXPECT_EQ(form.Directory(), root + "/Beta");
    EXPECT_EQ(Texts(form.FileListBox1), QStringList{"in-beta.gif"});
    EXPECT_EQ(Texts(form.DirectoryListBox1).last(), "inner");
    emit form.DirectoryListBox1->itemActivated(form.DirectoryListBox1->item(0));
    EXPECT_EQ(form.Directory(), "/");

    // A folder that is not there leaves everything where it was.
    form.SetDirectory(root + "/nothing-here");
    EXPECT_EQ(form.Directory(), "/");
}

TEST(Browser, DrivesAreMountPointsWithTheRootFirst) {
    testsupport::widgetApp();
    const QStringList drives = TMainForm::Drives();
    ASSERT_FALSE(drives.isEmpty());
    EXPECT_EQ(drives.first(), "/");
    EXPECT_EQ(drives.count("/"), 1);
    EXPECT_EQ(QStringList(drives).mid(1), [&] {
        QStringList sorted = drives.mid(1);
        sorted.sort();
        return sorted;
    }());
    TMainForm form;
    EXPECT_EQ(form.DriveComboBox1->itemText(0), "/");
    form.SetDirectory("/");
    EXPECT_EQ(form.DriveComboBox1->currentText(), "/");
    // Choosing a drive moves the folder list to it.
    form.SetDirectory(QString::fromStdString(testsupport::tempDir("mainform-drive").string()));
    emit form.DriveComboBox1->activated(0);
    EXPECT_EQ(form.Directory(), "/");
}

TEST(Browser, ResizeRulesPlaceTheProgressBarAndTheScrollBox) {
    testsupport::widgetApp();
    TMainForm form;
    form.show();
    for (const QSize size : {QSize(800, 560), QSize(500, 400), QSize(1200, 900)}) {
        form.resize(size);
        QCoreApplication::processEvents();
        SCOPED_TRACE(size.width());
        const int statusTop = form.StatusBar1->y();
        EXPECT_EQ(statusTop + form.StatusBar1->height(), form.ClientArea->height());
        EXPECT_EQ(form.Panel2->height(), 29);
        EXPECT_EQ(form.LeftColumn->width(), 140);
        EXPECT_EQ(form.ProgressBar1->y(), statusTop + 2);
        EXPECT_EQ(form.ProgressBar1->width(), 150);
        EXPECT_EQ(form.ProgressBar1->geometry().right(), form.ClientArea->width() - 3);
        EXPECT_EQ(form.ScrollBox1->height(), statusTop - form.Panel2->height() - 5);
        EXPECT_EQ(form.ScrollBox1->width(), form.Panel1->width() - form.ScrollBox1->x() - 3);
        EXPECT_GE(form.ScrollBox1->x(), 140);
    }
}
