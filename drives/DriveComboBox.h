#pragma once
// The drive chooser: a drop-down list of the machine's drives, each drawn as
// a small picture of its kind and a caption such as "/home [data]".
//
// Protocol:
//   - Construct; the default source is the machine's mount table and the
//     initial choice is the drive holding the current directory.
//   - The list is read when the control is first shown (or on RebuildList),
//     and again when the font or TextCase changes; nothing else re-reads it.
//   - SelectedDrive(): the chosen root's path ("/home"), the letter for a
//     lettered source, "" when none. Read it when the scan starts.
//   - DriveClicked then, if the choice changed, DriveChanged are emitted when
//     the user picks an entry; DriveChanged also follows a rebuild.
//   - After the drives: the folders chosen so far (at most 8, newest first)
//     and "Folder…", which runs the folder dialog (ChooseFolder; the window's
//     Ctrl+O does the same). A chosen folder is added and selected as with
//     AddFolder; a cancelled dialog keeps the selection. Nothing is written.
//   - Last "Open Scan…": picking it keeps the selection and emits
//     OpenScanChosen; the window asks for the file.
// The drop-down is as wide as its widest entry, never narrower than the box.
// Unselected entries are painted in the palette's Base and Text colours,
// the selected one in Highlight and HighlightedText.

#include <QComboBox>
#include <functional>
#include <memory>
#include <string>

#include "drives/DriveImages.h"
#include "drives/DriveList.h"
#include "drives/DriveSource.h"
#include "drives/TextCase.h"

class TDriveItemDelegate;
class TDropDownStyle;

class TDriveComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit TDriveComboBox(QWidget* parent = nullptr);
    // `currentDir` gives the initial choice ("" for none).
    TDriveComboBox(std::unique_ptr<IDriveSource> source, const std::string& currentDir,
                   QWidget* parent = nullptr);
    ~TDriveComboBox() override;

    std::string SelectedDrive() const;
    TTextCase TextCase() const;
    void SetTextCase(TTextCase value);

    // Replaces the source; the list is re-read at once if it was filled.
    void SetDriveSource(std::unique_ptr<IDriveSource> source);
    // Reads the drives and selects SelectedDrive() again.
    void RebuildList();
    // A letter, or a path (selects the mount that holds it); "" for none.
    void SelectDrive(const std::string& drive);
    // Lists the folder (unless listed) and selects it.
    void AddFolder(const std::string& path);
    // Asks for a folder with the folder dialog; true when one was chosen.
    bool ChooseFolder();
    // The dialog: given where it starts, the chosen folder or "" when
    // cancelled. By default the platform's folder dialog.
    using TFolderDialog = std::function<std::string(QWidget* parent, const std::string& start)>;
    void SetFolderDialog(TFolderDialog dialog) { folderDialog_ = std::move(dialog); }

    int ItemHeight() const;
    const TDriveList& List() const { return *list_; }

signals:
    void DriveClicked();
    void DriveChanged();
    void OpenScanChosen();

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void UpdateItemHeight();
    void SyncItems();
    // The drop-down as wide as its widest entry; the box keeps its width.
    void FitListWidth();
    void SyncSelection();
    void OnActivated(int index);

    // Declared first so that it outlives everything that may paint.
    std::unique_ptr<TDropDownStyle> style_;
    std::unique_ptr<IDriveSource> source_;
    std::unique_ptr<TDriveList> list_;  // refers to *source_
    TDriveImages images_;
    TDriveItemDelegate* delegate_ = nullptr;  // owned by this
    TFolderDialog folderDialog_;
    bool filled_ = false;
};
