// TfrmTallowin: the main window. Toolbar, size tree, chart panel, busy
// animation; the Go, ordering, mark-style and version commands; Escape.
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
//
// Rescan (F5) and Move to Trash (Delete) act on the tree's current entry:
// refused with the reason in the status bar while a scan runs, where they
// do not apply, and where the folder or file on disk, or a folder on the
// way to it, is no longer the one scanned (sizetree/EntryWalk.h). Move to
// Trash asks first (app/EntryTrash.h); a trash that would not take the item
// says why in a dialog. A rescan runs like a scan (busy animation, Go
// disabled, Escape ends the program).
//
// A FILES entry lists its loose files when it is expanded or selected, or on
// F5 on it, a listed file or the smaller files' entry (FileListings): the
// busy animation plays while a listing runs, the window stays live. A
// listing asked for during a scan, rescan or removal starts when that ends.
#pragma once

#include <QModelIndex>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "sizetree/LinkLedger.h"
#include "sizetree/Rescan.h"
#include "sizetree/Scan.h"
#include "sizetree/SizeTree.h"

class QButtonGroup;
class QFrame;
class QToolButton;
class EntryActions;
class FileListings;
class ScanStatusBar;
class TAnimate;
class TChart;
class TDriveComboBox;
class FlatSplitter;
class TPieSeries;
class SizeTreeModel;
class SizeTreeView;
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
    void btnVersionClick();
    void btnBySizeClick();
    void btnByNameClick();
    void btnPercentClick();
    void btnValueClick();
    void TreeChange(const QModelIndex& current);
    // True when the event was Escape and the program was told to end.
    bool AppMessage(QEvent* event);
    void ScanFolder(TTreeEntry* entry);
    void SortSubtree(TTreeEntry* entry);
    void RescanEntry(TTreeEntry* entry);
    void TrashEntry(TTreeEntry* entry);
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
    bool Scanning() const { return scanning_; }
    // True while loose files are being listed (or wait to be).
    bool ListingFiles() const;
    TSizeTree& SizeTree() { return tree_; }
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

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // A folder dropped from a file manager is chosen and scanned as by Go.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildToolBar();
    void BuildTree();
    QToolButton* AddButton(const char* name, int left, int width, const QImage& glyph, const QString& hint);
    // Moves the current entry out of entry's subtree before it is deleted;
    // Qt drops a current entry inside a removed subtree without notice.
    void MoveSelectionOffSubtree(TTreeEntry* entry);
    void ShowAnimation();
    void HideAnimation();
    void Resort(TTVCompareEvent compare);
    void ProcessPendingMessages();
    TScanHooks ScanHooks(ScanProgress& progress);
    // Runs change (a rescan or removal) with the window busy as during a
    // scan, the selection moved up to a rescanned folder, off a removed one.
    void RunBusy(const std::string& path, const std::function<void(const TreeChangeHooks&)>& change);
    // Runs change with the selection moved as RunBusy says, and back to the
    // path it had when that is still in the tree.
    void KeepingSelection(const TScanHooks& scan, const std::function<void(const TreeChangeHooks&)>& change);
    // Lists the loose files of the FILES entry at index, after the current
    // event (a request may come from inside a change of the tree).
    void ListFilesLater(const QModelIndex& index);
    LinkLedger& LedgerOf(const TTreeEntry* entry);

    TfrmAbout& about_;
    // Declared before the model, which observes it, so it is destroyed after.
    TSizeTree tree_;
    std::unique_ptr<SizeTreeModel> model_;
    QButtonGroup* marksGroup_ = nullptr;
    QButtonGroup* orderGroup_ = nullptr;
    std::function<void()> endProgram_;
    // Per scanned root: its files with several links (sizetree/LinkLedger.h).
    std::map<const TTreeEntry*, LinkLedger> ledgers_;
    // Declared after the tree, whose entries it watches: destroyed before it.
    std::unique_ptr<FileListings> listings_;
    std::function<bool(const QString&)> confirm_;
    std::function<void(const QString&)> warn_;
    bool scanning_ = false;
    bool stopRequested_ = false;
    bool centred_ = false;
};
