// The actions on the selected entry of the size tree: its context menu and
// keyboard shortcuts (Open with Ctrl+Enter, Copy path with Ctrl+C, Rescan
// with F5, Move to Trash with Delete, Changes Since… with Ctrl+D: on a
// root's menu, and by its key for the root of any entry), and the checkable
// Sizes on Disk (Ctrl+U), which switches the whole tree, not an entry.
//
// Protocol: the main window creates one EntryActions for its tree view after
// the view has its model; it lives as the view's child. The actions act on
// the view's current entry when triggered (menu, shortcut or trigger()); they
// do nothing when there is none. The menu opens on a right click or the menu
// key. UI thread only. Sizes on Disk only tells, through SizesOnDiskToggled;
// the window switches the tree and remembers the choice. Rescan and Move to Trash change the tree, so they
// only ask the window, through RescanRequested and TrashRequested.
// Both Open and Copy Path give the path's exact bytes (app/ExactPath.h).
// Open goes by the exact file URI through the desktop's opener
// (DesktopOpener); when that fails, Notice says why. On a listed file it
// first asks the file manager to show it in its folder (the ShowItems call,
// by default ShowItemInFileManager) and opens the folder when that fails.
// Copy Path puts text/uri-list and the pasteable text on the clipboard.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <string>

class DesktopOpener;
class QAction;
class QMenu;
class SizeTreeModel;
class SizeTreeView;
class TTreeEntry;

// Asks for one file to be shown in its folder; done(true) when it was.
using ShowItemCall = std::function<void(const QUrl& file, std::function<void(bool shown)> done)>;

class EntryActions : public QObject {
    Q_OBJECT
public:
    EntryActions(SizeTreeView& view, SizeTreeModel& model);

    QAction* Open = nullptr;
    QAction* CopyPath = nullptr;
    QAction* Rescan = nullptr;
    QAction* MoveToTrash = nullptr;
    QAction* ChangesSince = nullptr;
    QAction* SizesOnDisk = nullptr;  // checkable; off: apparent sizes
    QMenu* Menu = nullptr;
    DesktopOpener* Opener = nullptr;

    void SetShowItem(ShowItemCall call) { showItem_ = std::move(call); }

signals:
    void RescanRequested(TTreeEntry* entry);
    void TrashRequested(TTreeEntry* entry);
    void SizesOnDiskToggled(bool on);
    // The root whose changes to show.
    void ChangesRequested(TTreeEntry* root);
    // Open failed, and why.
    void Notice(const QString& text);

private:
    TTreeEntry* Current() const;
    void OpenCurrent();
    void OpenUri(const std::string& path);
    void CopyCurrentPath();

    SizeTreeView& view_;
    SizeTreeModel& model_;
    ShowItemCall showItem_;
};
