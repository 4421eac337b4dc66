#pragma once
// The main window: a folder browser on the left (file-type filter, file
// list, folder tree, drive choice), the picture or animation of the chosen
// file in a scroll box on the right, a tool bar, a status bar with a
// progress bar and the playback clock of the animation.
//
// The implementation is split by concern: TMainForm.cpp (creation, layout,
// resizing, hints, events), TMainFormMenu.cpp (menus, tool-bar commands,
// help, the caption painter), TMainFormBrowser.cpp (drives, folders, file
// list, mask), TMainFormOpen.cpp (OpenFile) and TMainFormEdit.cpp ("Edit
// Gif").
//
// The effects dialog does not exist yet: its commands are present and
// disabled, saying so in their hints. "Edit Gif" lives in
// TMainFormEdit.cpp, "&Open" in TMainFormOpen.cpp.
#include <QString>
#include <QStringList>
#include <QWidget>

class PVWebImage;
class QAction;
class QComboBox;
class QKeyEvent;
class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QMenuBar;
class QProgressBar;
class QScrollArea;
class QSpinBox;
class QStatusBar;
class QTimer;
class QToolButton;
class TMSOfficeCaption;
class TMMOpenDialog;
class TPMultiImage;

class QMimeData;
class QUrl;

class TMainForm : public QWidget {
    Q_OBJECT
  public:
    // Who asks OpenFile to open a file; each adds its own steps after the load.
    enum class TOpenFrom { CommandLine, FileList, OpenDialog };

    // Opens the program-wide command-line file (Startup.h) and clears it.
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // Shows a file: GIF files in AniGifImage1, every other format in
    // MultiImage1. A missing file is ignored.
    void OpenFile(const QString& fileName, TOpenFrom from);
    // "&Open": the open dialog with preview; a chosen file is shown (a GIF
    // is not started).
    void Open1Click();
    // "Edit Gif": opens the editor on AniGifImage1's own lists (a still
    // picture first becomes a one-frame animation) and shows the result.
    void EditorClick();
    // "Manipulate": the effects dialog on the picture shown; on an
    // animation only the frame on display changes.
    void ManipulClick();
    // Puts the hint text into the second status panel.
    void DisplayHint(const QString& hint);
    // The editor changed the animation and it was not saved whole since.
    bool AnimationModified() const { return FAnimationModified; }
    // Asks whether unsaved changes may go; true when there are none or the
    // user says Yes (they are then dropped).
    bool MayDiscardAnimation();
    // Files dropped on the window: the first image or GIF file opens as if
    // clicked in the file list; false when none is one.
    bool OpenDroppedFiles(const QList<QUrl>& urls);
    // Places the controls for the current client size.
    void FormResize();

    // The browser. SetDirectory moves the folder list (and so the file list)
    // to a folder and the drive box to the mount point holding it.
    void SetDirectory(const QString& folder);
    QString Directory() const { return FDirectory; }
    QString FileMask() const { return FFileMask; }
    void SetFileMask(const QString& mask);
    void UpdateFileList();
    void UpdateDirectoryList();
    // Mount points, "/" first, then the others in name order.
    static QStringList Drives();
    // Whether a file name matches a ";"-separated list of wildcards
    // (case-blind, as the file systems this program began on).
    static bool MatchesMask(const QString& fileName, const QString& mask);

    // The initial file-list mask and the filter choices.
    static const QString InitialMask;
    static const QStringList FilterItems;
    // The hint of commands whose windows do not exist yet.
    static const QString NotAvailableYet;

    // Tool bar.
    QFrame* Panel2 = nullptr;
    QToolButton* Editor = nullptr;
    QToolButton* PlayGif = nullptr;
    QToolButton* Manipul = nullptr;
    QToolButton* Abboutbox = nullptr;
    QToolButton* CloseWindow = nullptr;
    QFrame* Panel3 = nullptr;
    QLabel* Label1 = nullptr; // "Smooth"
    QSpinBox* Smth = nullptr;
    QLabel* Label2 = nullptr; // "Quality"
    QSpinBox* Qual = nullptr;

    // Below the tool bar: the browser column and the scroll box.
    QWidget* ClientArea = nullptr;
    QFrame* Panel1 = nullptr;
    QWidget* LeftColumn = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QListWidget* FileListBox1 = nullptr;
    QListWidget* DirectoryListBox1 = nullptr;
    QComboBox* DriveComboBox1 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    QWidget* ImageHolder = nullptr; // the scroll box's content: both components
    TPMultiImage* MultiImage1 = nullptr;
    PVWebImage* AniGifImage1 = nullptr;

    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel0 = nullptr;
    QLabel* StatusPanel1 = nullptr; // hints
    QProgressBar* ProgressBar1 = nullptr;
    TMMOpenDialog* MMOpenDialog1 = nullptr;
    TMSOfficeCaption* MSOfficeCaption1 = nullptr;
    QTimer* Timer1 = nullptr;

    // Menus.
    QMenuBar* MainMenu1 = nullptr;
    QMenu* File1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* ManipulateImage1 = nullptr;
    QAction* EditGifs1 = nullptr;
    QAction* ShowJpegSettings1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* Contents1 = nullptr;
    QAction* SearchforHelpOn1 = nullptr;
    QAction* HowtoUseHelp1 = nullptr;
    QAction* About1 = nullptr;

    // True once the window is closing or the application quitting: a
    // still-image load in progress is cancelled.
    bool Closing() const { return FClosing; }

  signals:
    // The window was closed: the program ends.
    void FormClosed();

  protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    // TMainForm.cpp
    void CreateControls();
    void CreateToolBar();
    void CreateBrowser();
    void CreatePreview();
    void CreateStatusBar();
    void FormCreate();
    void UpdateImageHolder();
    void MultiImage1Progress(int progress, bool& cancelProcess);
    bool HandleDrag(QEvent* event);
    // True when the key is the short cut of a menu item.
    bool IsMenuShortCut(const QKeyEvent& key) const;
    // TMainFormMenu.cpp
    void CreateMenus();
    void PlayGifClick(bool down);
    void ShowJpegSettings1Click();
    void AboutClick();
    static TMSOfficeCaption* AttachMainCaption(QWidget* window);
    // TMainFormBrowser.cpp
    void CreateBrowserConnections();
    void DriveChange(int index);
    void DirectoryActivated(QListWidgetItem* item);
    void FileListChange(QListWidgetItem* current);
    void FileListClick(QListWidgetItem* item);
    // Puts the file list's caret back on the file shown, without opening it.
    void SelectShownFile();
    // TMainFormDrop.cpp: the readable files a drag carries.
    static QStringList DroppedFiles(const QMimeData* data);
    static QStringList ReadableFiles(const QList<QUrl>& urls);

    QString FDirectory;
    QString FFileMask;
    QString FShownFile; // the last file OpenFile showed
    bool FOpening = false;
    bool FClosing = false;
    bool FAnimationModified = false;
};
