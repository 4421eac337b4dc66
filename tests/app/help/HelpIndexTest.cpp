// The index search and the links between the pages of the real help file.
#include "HelpFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <set>

namespace {

bool HasWordStartingWith(const QString& keyword, const QString& key) {
    for (const QString& word :
         keyword.split(QRegularExpression("[^A-Za-z0-9]+"), Qt::SkipEmptyParts))
        if (word.startsWith(key, Qt::CaseInsensitive)) return true;
    return false;
}

void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
    }
}

std::set<std::string> AllKeywords(const THelpWindow& window) {
    std::set<std::string> all;
    for (const THelpIndexEntry& entry : window.Index())
        all.insert(entry.keywords.begin(), entry.keywords.end());
    return all;
}

TEST_F(HelpTest, PartialKeyFiltersTheIndex) {
    ASSERT_TRUE(HelpCommand(HELP_PARTIALKEY, ""));
    THelpWindow* window = HelpWindow();
    ASSERT_NE(window, nullptr);
    const std::set<std::string> all = AllKeywords(*window);
    ASSERT_GT(all.size(), 20u);
    const std::vector<std::string> listedAll = window->ListedKeywords();
    EXPECT_EQ(std::set<std::string>(listedAll.begin(), listedAll.end()), all);
    EXPECT_EQ(listedAll.size(), all.size()); // each keyword once

    const struct {
        const char* key;
        std::vector<std::string> mustList;
    } cases[] = {
        {"fra",
         {"frame info", "frame delay", "frame position", "crop frames", "resize frames",
          "rotate frame", "select frames"}},
        {"FRAME I", {"frame info"}},
        {"pal", {"palette info", "color palette", "palette management"}},
        {"av", {"avi video"}},
        {"zzz", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        ASSERT_TRUE(HelpCommand(HELP_PARTIALKEY, c.key));
        EXPECT_EQ(window->SearchEdit()->text().toStdString(), c.key);
        const std::vector<std::string> listed = window->ListedKeywords();
        for (const std::string& keyword : c.mustList)
            EXPECT_NE(std::find(listed.begin(), listed.end(), keyword), listed.end()) << keyword;
        // Nothing that does not match is listed.
        const QString key = QString(c.key).split(' ').first();
        for (const std::string& keyword : listed)
            EXPECT_TRUE(HasWordStartingWith(QString::fromStdString(keyword), key)) << keyword;
        if (c.mustList.empty()) {
            EXPECT_TRUE(listed.empty());
        }
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(HelpTest, AKeyLeavingOneKeywordOpensItsPage) {
    ASSERT_TRUE(HelpCommand(HELP_CONTENTS));
    THelpWindow* window = HelpWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(HelpCommand(HELP_PARTIALKEY, "cropp"));
    ASSERT_EQ(window->ListedKeywords(), std::vector<std::string>{"cropping"});
    EXPECT_EQ(window->CurrentPage(), "crop.html");
    // Several matches leave the page shown as it was.
    ASSERT_TRUE(HelpCommand(HELP_PARTIALKEY, "fra"));
    EXPECT_EQ(window->CurrentPage(), "crop.html");
    EXPECT_TRUE(messages.empty());
}

TEST_F(HelpTest, TypingNarrowsTheListAndEnterOpensTheChoice) {
    ASSERT_TRUE(HelpCommand(HELP_PARTIALKEY, ""));
    THelpWindow* window = HelpWindow();
    QLineEdit* search = window->SearchEdit();
    search->clear();
    size_t before = window->ListedKeywords().size();
    for (const char* letter : {"r", "o", "t"}) {
        Type(search, letter);
        const size_t now = window->ListedKeywords().size();
        EXPECT_LE(now, before);
        before = now;
    }
    EXPECT_EQ(search->text(), "rot");
    ASSERT_EQ(window->ListedKeywords(), (std::vector<std::string>{"rotate frame", "rotating"}));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(search, &enter);
    EXPECT_EQ(window->CurrentPage(), "rotate.html");

    window->KeywordList()->setCurrentRow(-1);
    search->setText("net l");
    ASSERT_EQ(window->KeywordList()->count(), 1);
    emit window->KeywordList()->itemActivated(window->KeywordList()->item(0));
    EXPECT_EQ(window->CurrentPage(), "imageinfo.html");
}

// Every link of every page names a page of the bundle, and an anchor that exists there.
TEST_F(HelpTest, EveryLinkResolves) {
    ASSERT_TRUE(HelpCommand(HELP_CONTENTS));
    std::set<std::string> pages;
    for (const THelpIndexEntry& entry : HelpWindow()->Index())
        pages.insert(entry.page);
    ASSERT_EQ(pages.size(), 12u);
    const QRegularExpression href("href=\"([^\"]*)\"");
    int links = 0;
    for (const std::string& page : pages) {
        const QString html = BundleText(QString::fromStdString(page));
        ASSERT_FALSE(html.isEmpty()) << page;
        for (auto it = href.globalMatch(html); it.hasNext(); ++links) {
            const QString target = it.next().captured(1);
            SCOPED_TRACE(page + " -> " + target.toStdString());
            const QString file = target.section('#', 0, 0);
            const QString anchor = target.section('#', 1);
            ASSERT_FALSE(file.contains(':')) << "links stay inside the help file";
            const QString targetHtml =
                BundleText(file.isEmpty() ? QString::fromStdString(page) : file);
            ASSERT_FALSE(targetHtml.isEmpty());
            if (!anchor.isEmpty()) {
                EXPECT_TRUE(targetHtml.contains("name=\"" + anchor + "\""));
            }
        }
    }
    EXPECT_GT(links, 40);
}

// Clicking each link of the contents page opens its page: the contents reach every page.
TEST_F(HelpTest, ContentsLinksOpenEveryPage) {
    ASSERT_TRUE(HelpCommand(HELP_CONTENTS));
    THelpWindow* window = HelpWindow();
    window->resize(900, 1400);
    QTextBrowser* browser = window->Browser();
    QApplication::processEvents();
    std::set<std::string> reached;
    std::vector<int> anchors; // document positions of the links
    for (QTextBlock block = browser->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isAnchor())
                anchors.push_back(it.fragment().position() + it.fragment().length() / 2);
    ASSERT_GE(anchors.size(), 11u);
    for (int position : anchors) {
        ASSERT_TRUE(HelpCommand(HELP_CONTENTS));
        QApplication::processEvents();
        QTextCursor cursor(browser->document());
        cursor.setPosition(position);
        const QPoint at = browser->cursorRect(cursor).center();
        QMouseEvent press(QEvent::MouseButtonPress, at, browser->viewport()->mapToGlobal(at),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, browser->viewport()->mapToGlobal(at),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(browser->viewport(), &press);
        QApplication::sendEvent(browser->viewport(), &release);
        EXPECT_NE(window->CurrentPage(), "contents.html") << position;
        EXPECT_FALSE(window->CurrentTitle().empty());
        reached.insert(window->CurrentPage());
    }
    std::set<std::string> pages;
    for (const THelpIndexEntry& entry : window->Index())
        if (entry.page != "contents.html") pages.insert(entry.page);
    EXPECT_EQ(reached, pages);
}

} // namespace
