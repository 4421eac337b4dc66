#pragma once
// The program's help: a window over the pages of the help file and the
// program-wide calls that open it (by topic string, contents, help on help,
// partial-key index search).
//
// The help file is a Qt binary resource bundle (see app/help/README.md); it
// is registered under the resource root ":/zentrope-help" and holds the
// pages and "index.txt", which maps topic strings and index keywords to
// pages.
#include <QWidget>

#include <string>
#include <vector>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QTextBrowser;
class QToolButton;
class QUrl;

// WinHelp-style commands understood by HelpCommand.
inline constexpr int HELP_CONTENTS = 3;
inline constexpr int HELP_HELPONHELP = 4;
inline constexpr int HELP_PARTIALKEY = 0x105; // data = the key; "" lists the whole index

// One row of the help file's index.
struct THelpIndexEntry {
    std::string topic;                 // topic string ("" = reached by keywords only)
    std::string page;                  // page file inside the bundle, e.g. "editor.html"
    std::vector<std::string> keywords; // index keywords shown in the search list
};

class THelpWindow : public QWidget {
    Q_OBJECT
  public:
    explicit THelpWindow(QWidget* parent = nullptr);
    ~THelpWindow() override;

    // Reads the index of the registered bundle; false when it is missing or empty.
    bool LoadIndex();
    const std::vector<THelpIndexEntry>& Index() const { return FIndex; }
    // Page of a topic string (exact match), "" when unknown.
    std::string PageOfTopic(const std::string& topic) const;

    // Shows a page of the bundle (file name inside it, optionally with "#anchor").
    bool ShowPage(const std::string& page);
    // Shows the index list filtered by a partial key (case-insensitive prefix
    // of any word of a keyword) and focuses the search field.
    void ShowIndex(const std::string& key);
    // Keywords currently listed by the search list.
    std::vector<std::string> ListedKeywords() const;
    // Page shown now ("" before any page), without the bundle's root.
    std::string CurrentPage() const;
    // Title of the page shown now (its <title>).
    std::string CurrentTitle() const;

    QTextBrowser* Browser() const { return FBrowser; }
    QLineEdit* SearchEdit() const { return FSearch; }
    QListWidget* KeywordList() const { return FKeywords; }
    QToolButton* ContentsButton() const { return FContentsBtn; }
    QToolButton* BackButton() const { return FBackBtn; }
    QToolButton* ForwardButton() const { return FForwardBtn; }

  private:
    void FillKeywords(const QString& key);
    void KeywordActivated(QListWidgetItem* item);
    void SearchReturnPressed();
    void SourceChanged(const QUrl& url);

    std::vector<THelpIndexEntry> FIndex;
    QTextBrowser* FBrowser = nullptr;
    QLineEdit* FSearch = nullptr;
    QListWidget* FKeywords = nullptr;
    QToolButton* FContentsBtn = nullptr;
    QToolButton* FBackBtn = nullptr;
    QToolButton* FForwardBtn = nullptr;
};

// The application's help file: the program's folder + "zentrope.hlp" unless set.
void SetHelpFile(const std::string& path);
const std::string& HelpFile();
// Opens a topic by its topic string; false (and one message through
// ShowMessage naming the topic or the file) when the file or topic is missing.
bool HelpJump(const std::string& topic);
// HELP_CONTENTS, HELP_HELPONHELP or HELP_PARTIALKEY (data = the key);
// false with a message for an unusable file or an unknown command.
bool HelpCommand(int command, const std::string& data = {});
// The one help window, created on first use (nullptr before).
THelpWindow* HelpWindow();
