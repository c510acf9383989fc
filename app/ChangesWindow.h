// The "Changes Since…" window of one root: the folders that changed most
// since the scan it is compared with (path, then, now, change; largest
// change first, at most ScanMemory::kMostRows), and a chooser of that scan:
// the root's remembered scans, newest first, and "Other file…" for a saved
// scan. Choosing one makes it the root's baseline everywhere (status bar,
// tool tips). A double click on a row asks for its folder in the tree.
//
// Protocol: the main window makes one, a window of its own parented to it,
// and calls ShowRoot (again for another root). The window follows the
// session's ScanMemory: whenever the root's comparison changes (and on
// Refresh) it lists and compares again, on the memory's worker, and shows the answers when they
// come. It keeps the root's path, never its entry. UI thread only; Escape
// is the application's (it ends the program).
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/ChangeSince.h"
#include "history/ScanStore.h"

class QComboBox;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;
class ScanSession;

class ChangesWindow : public QWidget {
    Q_OBJECT
public:
    ChangesWindow(ScanSession& session, BytesText bytes, QWidget* parent);

    void ShowRoot(const std::string& rootPath);
    // Lists and compares again while shown (the tree changed).
    void Refresh();
    const std::string& RootPath() const { return rootPath_; }
    // Asks for a saved scan's file ("" when cancelled); by default a file
    // dialog (tests answer for themselves).
    void SetFilePicker(std::function<QString()> pick) { pickFile_ = std::move(pick); }

    QComboBox* Chooser = nullptr;
    QTreeWidget* Rows = nullptr;
    QLabel* Summary = nullptr;

signals:
    // The folder of a row, to be selected in the tree.
    void EntryWanted(const std::string& path);

private:
    void Reload();
    void FillChooser(const RememberedList& list);
    void FillRows(const std::vector<FolderChange>& rows);
    void Chosen(int index);
    // The baseline's date, or its file's name.
    QString SinceText() const;

    ScanSession& session_;
    BytesText bytes_;
    std::function<QString()> pickFile_;
    std::string rootPath_;
    int shownIndex_ = -1;  // of the chooser, for a cancelled "Other file…"
};
