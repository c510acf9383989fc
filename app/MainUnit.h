// TfrmTallowin: the main window. It lays out the designed controls (toolbar
// and tree in app/MainLayout.cpp), wires them to its scan session
// (app/ScanSession.h), which owns the tree and runs every command on it, and
// shows what the session says: the busy animation, the status bar, dialogs.
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
// F5 on it, a listed file or the smaller files' entry: the busy animation
// plays from the request until the listing is put, the window stays live. A
// listing asked for during a scan, rescan or removal starts when that ends.
// The methods named after the design's handlers forward to the session.
#pragma once

#include <QModelIndex>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "app/ScanSession.h"
#include "app/SizeTreeModel.h"
#include "sizetree/SizeTree.h"

class QButtonGroup;
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
    bool Scanning() const { return session_->Scanning(); }
    // True while loose files are being listed (or wait to be).
    bool ListingFiles() const { return session_->ListingFiles(); }
    TSizeTree& SizeTree() { return session_->Tree(); }
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
    QButtonGroup* marksGroup_ = nullptr;
    QButtonGroup* orderGroup_ = nullptr;
    std::function<void()> endProgram_;
    std::function<bool(const QString&)> confirm_;
    std::function<void(const QString&)> warn_;
    bool centred_ = false;
};
