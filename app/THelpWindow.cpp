#include "app/THelpWindow.h"

#include "imaging/common/ResourceBundle.h"

#include "platform/Message.h"
#include "platform/Module.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QResource>
#include <QSplitter>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

namespace {

// The help file, registered under the help root.
class THelpBundle {
  public:
    static TResourceBundle& Instance() {
        static TResourceBundle bundle(Root());
        return bundle;
    }
    static QString Root() { return QStringLiteral("/zentrope-help"); }
    static QString ResourcePath(const QString& name) { return ":" + Root() + "/" + name; }
    static QUrl PageUrl(const QString& name) { return QUrl("qrc:" + Root() + "/" + name); }
};

constexpr int kPageRole = Qt::UserRole + 1;
const char* const kContentsTopic = "Help_system";
const char* const kHelpOnHelpPage = "howtouse.html";

// Index entries name plain files of the bundle: no folders, nothing outside it.
bool PlainPageName(const QString& page) {
    return !page.isEmpty() && !page.contains('/') && !page.contains('\\') && page != "." &&
           page != ".." && page.endsWith(".html", Qt::CaseInsensitive);
}

// True when a word of keyword (or the keyword itself) begins with key.
bool MatchesPartialKey(const QString& keyword, const QString& key) {
    if (key.isEmpty() || keyword.startsWith(key, Qt::CaseInsensitive)) return true;
    for (qsizetype i = 1; i < keyword.size(); ++i) {
        const QChar before = keyword[i - 1];
        if (!before.isLetterOrNumber() && keyword[i].isLetterOrNumber() &&
            QStringView(keyword).mid(i).startsWith(key, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

std::string DefaultHelpFile() {
    const char* folder = ProgramFolder();
    return std::string(folder ? folder : ".") + "/zentrope.hlp";
}

std::string& HelpFileSetting() {
    static std::string path = DefaultHelpFile();
    return path;
}

THelpWindow* helpWindow = nullptr; // the one window; reachable until exit

void Complain(const QString& text) {
    ShowMessage(text.toUtf8().constData());
}

// Registers the current help file and loads the window's index from it;
// false after one message when either is unusable.
bool PrepareHelp() {
    const QString path = QString::fromStdString(HelpFile());
    const TResourceBundle::Result result = THelpBundle::Instance().Use(path);
    if (result == TResourceBundle::Missing) {
        Complain(QStringLiteral("The help file \"%1\" was not found.").arg(path));
        return false;
    }
    if (result == TResourceBundle::Damaged) {
        Complain(
            QStringLiteral("The help file \"%1\" is damaged or is not a help file.").arg(path));
        return false;
    }
    THelpWindow* window = HelpWindow();
    if (!window) {
        helpWindow = new THelpWindow;
        window = helpWindow;
        if (QCoreApplication* app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, [] {
                delete helpWindow;
                helpWindow = nullptr;
            });
    }
    if (result == TResourceBundle::Changed || window->Index().empty()) {
        if (!window->LoadIndex()) {
            Complain(QStringLiteral("The help file \"%1\" has no index.").arg(path));
            return false;
        }
    }
    return true;
}

void ShowHelpWindow(THelpWindow* window) {
    // A modal window (the editor) blocks every window but its own: help
    // asked for from one becomes its window, so that it can be read. It
    // goes with that window; the next call makes a new one.
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal != window && window->parentWidget() != modal) {
        const bool shown = window->isVisible();
        const QRect place = window->geometry();
        window->setParent(modal, Qt::Window);
        if (shown) window->setGeometry(place);
    }
    window->show();
    window->activateWindow();
}

} // namespace

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("HelpWindow");
    setWindowTitle("Zentrope Help");
    resize(760, 520);

    FContentsBtn = new QToolButton(this);
    FContentsBtn->setText("&Contents");
    FContentsBtn->setToolTip("Show the contents of the help");
    FBackBtn = new QToolButton(this);
    FBackBtn->setText("&Back");
    FBackBtn->setToolTip("Go back to the page shown before");
    FBackBtn->setEnabled(false);
    FForwardBtn = new QToolButton(this);
    FForwardBtn->setText("&Forward");
    FForwardBtn->setToolTip("Go forward again");
    FForwardBtn->setEnabled(false);

    auto* tools = new QHBoxLayout;
    tools->addWidget(FContentsBtn);
    tools->addWidget(FBackBtn);
    tools->addWidget(FForwardBtn);
    tools->addStretch();

    auto* indexPane = new QWidget(this);
    auto* indexLayout = new QVBoxLayout(indexPane);
    indexLayout->setContentsMargins(0, 0, 0, 0);
    auto* searchLabel = new QLabel("&Type the first letters of a word:", indexPane);
    FSearch = new QLineEdit(indexPane);
    FSearch->setObjectName("HelpSearch");
    FSearch->setClearButtonEnabled(true);
    searchLabel->setBuddy(FSearch);
    FKeywords = new QListWidget(indexPane);
    FKeywords->setObjectName("HelpKeywords");
    indexLayout->addWidget(searchLabel);
    indexLayout->addWidget(FSearch);
    indexLayout->addWidget(FKeywords);

    FBrowser = new QTextBrowser(this);
    FBrowser->setObjectName("HelpBrowser");
    FBrowser->setOpenExternalLinks(false);
    FBrowser->setOpenLinks(true);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(indexPane);
    splitter->addWidget(FBrowser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 540});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(tools);
    layout->addWidget(splitter);

    connect(FContentsBtn, &QToolButton::clicked, this,
            [this] { ShowPage(PageOfTopic(kContentsTopic)); });
    connect(FBackBtn, &QToolButton::clicked, FBrowser, &QTextBrowser::backward);
    connect(FForwardBtn, &QToolButton::clicked, FBrowser, &QTextBrowser::forward);
    connect(FBrowser, &QTextBrowser::backwardAvailable, FBackBtn, &QToolButton::setEnabled);
    connect(FBrowser, &QTextBrowser::forwardAvailable, FForwardBtn, &QToolButton::setEnabled);
    connect(FBrowser, &QTextBrowser::sourceChanged, this, &THelpWindow::SourceChanged);
    connect(FSearch, &QLineEdit::textChanged, this, &THelpWindow::FillKeywords);
    connect(FSearch, &QLineEdit::returnPressed, this, &THelpWindow::SearchReturnPressed);
    connect(FKeywords, &QListWidget::itemActivated, this, &THelpWindow::KeywordActivated);
    connect(FKeywords, &QListWidget::itemClicked, this, &THelpWindow::KeywordActivated);
}

THelpWindow::~THelpWindow() {
    if (helpWindow == this) helpWindow = nullptr;
}

bool THelpWindow::LoadIndex() {
    FIndex.clear();
    QFile file(THelpBundle::ResourcePath("index.txt"));
    // A sane index is a few kilobytes; a huge one is not ours.
    if (!file.open(QIODevice::ReadOnly) || file.size() > (1 << 20)) {
        FillKeywords(FSearch->text());
        return false;
    }
    const QString text = QString::fromUtf8(file.readAll());
    for (const QString& raw : text.split('\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith('#')) continue;
        const QStringList fields = raw.split('\t');
        if (fields.size() < 2) continue;
        const QString topic = fields[0].trimmed();
        const QString page = fields[1].trimmed();
        // Rows naming a page the bundle lacks are dropped, so every topic
        // and keyword the window offers opens something.
        if (!PlainPageName(page) || !QFile::exists(THelpBundle::ResourcePath(page))) continue;
        THelpIndexEntry entry;
        entry.topic = topic == "-" ? std::string() : topic.toStdString();
        entry.page = page.toStdString();
        if (fields.size() > 2)
            for (const QString& keyword : fields[2].split(';', Qt::SkipEmptyParts))
                if (!keyword.trimmed().isEmpty())
                    entry.keywords.push_back(keyword.trimmed().toStdString());
        FIndex.push_back(std::move(entry));
    }
    FillKeywords(FSearch->text());
    return !FIndex.empty();
}

std::string THelpWindow::PageOfTopic(const std::string& topic) const {
    if (topic.empty()) return {};
    for (const THelpIndexEntry& entry : FIndex)
        if (entry.topic == topic) return entry.page;
    return {};
}

bool THelpWindow::ShowPage(const std::string& page) {
    const QString text = QString::fromStdString(page);
    const qsizetype hash = text.indexOf('#');
    const QString file = hash < 0 ? text : text.left(hash);
    if (!PlainPageName(file) || !QFile::exists(THelpBundle::ResourcePath(file))) return false;
    QUrl url = THelpBundle::PageUrl(file);
    if (hash >= 0) url.setFragment(text.mid(hash + 1));
    FBrowser->setSource(url);
    return true;
}

void THelpWindow::ShowIndex(const std::string& key) {
    const QString text = QString::fromStdString(key);
    if (FSearch->text() == text)
        FillKeywords(text);
    else
        FSearch->setText(text); // refills the list
    // A key that leaves exactly one keyword opens its page at once, as a
    // search for a unique keyword does; otherwise the user picks from the list.
    if (!key.empty() && FKeywords->count() == 1)
        KeywordActivated(FKeywords->item(0));
    else if (CurrentPage().empty())
        ShowPage(PageOfTopic(kContentsTopic));
    FSearch->setFocus();
    FSearch->selectAll();
}

std::vector<std::string> THelpWindow::ListedKeywords() const {
    std::vector<std::string> keywords;
    for (int i = 0; i < FKeywords->count(); ++i)
        keywords.push_back(FKeywords->item(i)->text().toStdString());
    return keywords;
}

std::string THelpWindow::CurrentPage() const {
    const QString path = FBrowser->source().path();
    const QString root = THelpBundle::Root() + "/";
    return path.startsWith(root) ? path.mid(root.size()).toStdString() : std::string();
}

std::string THelpWindow::CurrentTitle() const {
    return FBrowser->documentTitle().toStdString();
}

void THelpWindow::FillKeywords(const QString& key) {
    FKeywords->clear();
    QStringList seen;
    std::vector<std::pair<QString, QString>> rows; // keyword, page
    for (const THelpIndexEntry& entry : FIndex)
        for (const std::string& word : entry.keywords) {
            const QString keyword = QString::fromStdString(word);
            if (seen.contains(keyword, Qt::CaseInsensitive) || !MatchesPartialKey(keyword, key))
                continue;
            seen.push_back(keyword);
            rows.emplace_back(keyword, QString::fromStdString(entry.page));
        }
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
    });
    for (const auto& [keyword, page] : rows) {
        auto* item = new QListWidgetItem(keyword, FKeywords);
        item->setData(kPageRole, page);
    }
    if (FKeywords->count() > 0) FKeywords->setCurrentRow(0);
}

void THelpWindow::KeywordActivated(QListWidgetItem* item) {
    if (item) ShowPage(item->data(kPageRole).toString().toStdString());
}

void THelpWindow::SearchReturnPressed() {
    KeywordActivated(FKeywords->currentItem());
}

void THelpWindow::SourceChanged(const QUrl&) {
    const QString title = FBrowser->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Zentrope Help")
                                   : QStringLiteral("Zentrope Help - ") + title);
}

void SetHelpFile(const std::string& path) {
    HelpFileSetting() = path;
}

const std::string& HelpFile() {
    return HelpFileSetting();
}

THelpWindow* HelpWindow() {
    return helpWindow;
}

bool HelpJump(const std::string& topic) {
    if (!PrepareHelp()) return false;
    const std::string page = helpWindow->PageOfTopic(topic);
    if (page.empty() || !helpWindow->ShowPage(page)) {
        Complain(QStringLiteral("The help topic \"%1\" does not exist in the help file \"%2\".")
                     .arg(QString::fromStdString(topic), QString::fromStdString(HelpFile())));
        return false;
    }
    ShowHelpWindow(helpWindow);
    return true;
}

bool HelpCommand(int command, const std::string& data) {
    if (command != HELP_CONTENTS && command != HELP_HELPONHELP && command != HELP_PARTIALKEY) {
        Complain(QStringLiteral("Unknown help command %1.").arg(command));
        return false;
    }
    if (!PrepareHelp()) return false;
    bool shown = true;
    if (command == HELP_CONTENTS)
        shown = helpWindow->ShowPage(helpWindow->PageOfTopic(kContentsTopic));
    else if (command == HELP_HELPONHELP)
        shown = helpWindow->ShowPage(kHelpOnHelpPage);
    else
        helpWindow->ShowIndex(data);
    if (!shown) {
        Complain(QStringLiteral("The help file \"%1\" lacks its %2 page.")
                     .arg(QString::fromStdString(HelpFile()),
                          command == HELP_CONTENTS ? "contents" : "\"How to Use Help\""));
        return false;
    }
    ShowHelpWindow(helpWindow);
    return true;
}
