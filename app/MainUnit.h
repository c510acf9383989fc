// TfrmTallowin: the main window. It lays out the designed controls
// (app/MainLayout.cpp), wires them to its scan session (app/ScanSession.h),
// which owns the tree and runs every command on it, shows what the session
// says (busy animation, Go, status bar, chart) and asks the user (Move to
// Trash, judged first by app/EntryTrash.h). The methods named after the
// design's commands forward to the session. An entry's change since the
// earlier scan of its root (app/ScanMemory.h) is added to the status bar's
// entry line and to the entry's tool tip; the "Changes Since…" window
// (app/ChangesWindow.h) lists a root's.
//
// Protocol: construct after the QApplication exists (with
// Qt::AA_DontCreateNativeWidgetSiblings set before it) and after the about
// window it shows. FormCreate (run by the constructor) installs AppMessage as
// an application-wide event filter: Escape without Alt, pressed in any
// window, calls the end-program function (by default _exit(0)); while the
// busy animation plays, its helper thread does the same for Escape in this
// window, so a re-sort that processes no events can be ended too. Everything
// runs on the UI thread; a scan processes events at most about every 10 ms,
// during which any handler but Go may run. Closing the window during a scan
// stops the scan at its next folder.
#pragma once

#include <QModelIndex>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/ScanSession.h"
#include "app/SizeTreeModel.h"
#include "sizetree/SizeTree.h"

class ChangesWindow;
class QFrame;
class QToolButton;
class EntryActions;
class ScanStatusBar;
class SelectionKeeper;
class FlatSplitter;
class SizeTreeView;
class TAnimate;
class TChart;
class TDriveComboBox;
class TPieSeries;
class ToolBarStrip;
class TfrmAbout;

class TfrmTallowin : public QWidget {
    Q_OBJECT
public:
    explicit TfrmTallowin(TfrmAbout& about);
    ~TfrmTallowin() override;

    // Designed client size (the status bar adds its height below it) and the
    // frame height added by a caption bar.
    static constexpr int kClientWidth = 688;
    static constexpr int kClientHeight = 453;
    static constexpr int kFrameHeight = 27;

    void FormCreate();
    void btnGoClick();
    // The Go command for an explicit root path (also `tallowin PATH`).
    void ScanRoot(std::string rootPath);
    // A saved scan as a root (also `tallowin FILE`, a file dropped, Open
    // Scan…); a bad file leaves its reason in the status bar.
    void OpenSavedScan(const std::string& file) { session_->OpenSavedScan(file); }
    // Open Scan… (Ctrl+Shift+O, the drive chooser's last entry): the file
    // dialog, then OpenSavedScan.
    void OpenScanClick();
    // The dialog: the chosen file's path bytes, "" when cancelled. By
    // default the platform's file dialog.
    void SetScanFileDialog(std::function<std::string(QWidget* parent)> dialog)
    {
        scanFileDialog_ = std::move(dialog);
    }
    // A folder given at start that could not be opened (errno error): the
    // window scans nothing and the status bar says why.
    void ShowStartFailure(const std::string& path, int error);
    void btnVersionClick();
    void btnBySizeClick();
    void btnByNameClick();
    // Sizes on Disk (app/EntryActions.h) switched: the tree, its orders and
    // the chart show that figure; the choice is remembered (QSettings).
    void ShowSizesOnDisk(bool on);
    void btnPercentClick();
    void btnValueClick();
    void TreeChange(const QModelIndex& current);
    // True when the event was Escape and the program was told to end.
    bool AppMessage(QEvent* event);
    void ScanFolder(TTreeEntry* entry) { session_->ScanFolder(entry); }
    void SortSubtree(TTreeEntry* entry) { session_->SortSubtree(entry); }
    // F5 and Delete on an entry (app/EntryActions.h).
    void RescanEntry(TTreeEntry* entry) { session_->Rescan(entry); }
    void TrashEntry(TTreeEntry* entry);
    // Ctrl+D: the "Changes Since…" window of a root.
    void ShowChanges(TTreeEntry* root);
    // Selects the entry at path in the tree (a row of the Changes window).
    void SelectPath(const std::string& path);
    // F5 on the root of a saved scan opened in the window: call before the
    // rescan, with the file it was opened from; the root is then compared
    // with the saved scan as it was opened.
    void ShowChangesAgainst(const TTreeEntry& savedRoot, const std::string& savedFile)
    {
        session_->ShowChangesAgainst(savedRoot, savedFile);
    }
    // Remembered scans and what each root is compared with; off until
    // UseStore is called on it.
    ScanMemory& Memory() { return session_->Memory(); }
    // The change of an entry since its root's earlier scan, empty when none
    // is known (or a scan runs).
    QString ChangeText(const TTreeEntry& entry) const;
    // The confirmation (true: go ahead) and the failure message of Move to
    // Trash; by default message boxes (tests answer for themselves).
    void SetTrashDialogs(std::function<bool(const QString& question)> confirm,
                         std::function<void(const QString& message)> warn)
    {
        confirm_ = std::move(confirm);
        warn_ = std::move(warn);
    }

    // Before the window is first shown: the busy animation's thread may call
    // it too (Escape during a re-sort).
    void SetEndProgram(std::function<void()> endProgram) { endProgram_ = std::move(endProgram); }
    bool Scanning() const { return session_->Scanning(); }
    // True while loose files are being listed (or wait to be).
    bool ListingFiles() const { return session_->ListingFiles(); }
    TSizeTree& SizeTree() { return session_->Tree(); }
    // For wiring beside the window's own (its signals).
    ScanSession& Session() { return *session_; }
    SizeTreeModel& Model() { return *model_; }

    ToolBarStrip* ToolBar = nullptr;
    TDriveComboBox* cbxDrive = nullptr;
    QToolButton* btnGo = nullptr;
    QWidget* None1 = nullptr;
    QToolButton* btnPercent = nullptr;
    QToolButton* btnValue = nullptr;
    QWidget* None2 = nullptr;
    QToolButton* btnBySize = nullptr;
    QToolButton* btnByName = nullptr;
    QWidget* None3 = nullptr;
    QToolButton* btnVersion = nullptr;
    SizeTreeView* Tree = nullptr;
    FlatSplitter* Splitter = nullptr;
    QFrame* Panel = nullptr;
    TChart* Chart = nullptr;
    TPieSeries* PieSeries = nullptr;  // the chart's one series, owned by its panel
    TAnimate* Animate = nullptr;
    ScanStatusBar* StatusBar = nullptr;  // below the designed client area
    EntryActions* Actions = nullptr;     // the tree's context menu and shortcuts
    ChangesWindow* Changes = nullptr;    // a window of its own, made when first shown

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // A folder dropped from a file manager is chosen and scanned as by Go;
    // a file is opened as a saved scan.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // app/MainLayout.cpp: the designed look and controls.
    void LayOut();
    void BuildToolBar();
    void BuildTree();
    QToolButton* AddButton(const char* name, int left, int width, const QImage& glyph, const QString& hint);
    // What the session says, shown.
    void WireSession();
    void ShowAnimation(bool on);

    TfrmAbout& about_;
    // Declared before the model, which observes its tree: destroyed after it.
    std::unique_ptr<ScanSession> session_;
    std::unique_ptr<SizeTreeModel> model_;
    std::unique_ptr<SelectionKeeper> keeper_;
    std::function<void()> endProgram_;
    std::function<bool(const QString&)> confirm_;
    std::function<void(const QString&)> warn_;
    std::function<std::string(QWidget*)> scanFileDialog_;
    bool centred_ = false;
};
