#pragma once
// The drive chooser's list, without any user-interface toolkit.
//
// Protocol:
//   1. Construct with a drive source (which must outlive the list) and the
//      process's current directory. Nothing is read from the source yet;
//      SelectedDrive() holds the initial choice taken from the directory.
//   2. When the control's window is created: RebuildDriveList(), then
//      SelectDrive(SelectedDrive()). This is the only time the machine's
//      drives are read; later changes are not noticed until the next rebuild.
//   3. When the user picks an entry: PickEntry(index).
//   4. SetTextCase() rebuilds the list itself and keeps the selection.
//   5. UpdateItemHeight() whenever the font changes.
// SelectDrive, PickEntry, SetTextCase and AddFolder return true when the
// control should raise its change event.
//
// With SetFolderChoice(true), after the drives come the folders the user chose (AddFolder; at most
// MaxFolders, newest first, kept in memory only), each captioned with its
// path and shown with the picture of the drive that holds it, and last the
// entry that opens the folder dialog (IsFolderDialogEntry). Picking that
// entry changes nothing here: the control asks for a folder and calls
// AddFolder, or keeps the selection when the dialog is cancelled.
//
// Drives are either lettered ("c:\" roots, captioned "c: [label]") or mount
// paths ("/home", captioned "/home [label]"). For a lettered drive
// SelectedDrive() is the letter in the case TextCase prescribes; for a mount
// path it is the path itself, whose case is never changed. An empty string
// means no drive. When no entry matches the chosen drive, no entry is shown
// as selected, while SelectedDrive() keeps the drive.

#include <string>
#include <string_view>
#include <vector>

#include "drives/DriveSource.h"
#include "drives/TextCase.h"

struct TDriveEntry {
    std::string Caption;
    TDriveKind Image = TDriveKind::dkOther;  // which of the six images
    std::string Drive;                       // the value SelectDrive receives when the entry is picked
};

// The dialog entry's caption is the control's to write (it is translated).

class TDriveList {
public:
    static constexpr int MinItemHeight = 16;  // pixels, height of the "FLOPPY" image
    static constexpr std::size_t MaxFolders = 8;

    TDriveList(IDriveSource& source, std::string_view currentDir,
               TTextCase textCase = TTextCase::tcLowerCase);

    void RebuildDriveList();
    bool SelectDrive(std::string_view drive);
    bool PickEntry(int index);
    // Lists path (a folder; a trailing "/" is dropped) unless it is listed
    // already, and selects its entry.
    bool AddFolder(std::string path);
    bool IsFolderDialogEntry(int index) const;
    // Off at construction: the list holds drives only.
    void SetFolderChoice(bool on);
    // Where the folder dialog starts: the last folder chosen, else the drive.
    std::string FolderDialogStart() const;

    // "[label]" of a drive: a letter ("c") or a mount path.
    std::string VolumeCaption(std::string_view drive) const;
    // The share a remote drive is connected to, or VolumeCaption on failure.
    std::string NetworkCaption(std::string_view drive) const;

    TTextCase TextCase() const { return textCase_; }
    bool SetTextCase(TTextCase value);

    // textHeight: the font's text height in pixels.
    void UpdateItemHeight(int textHeight);
    int ItemHeight() const { return itemHeight_; }

    const std::string& SelectedDrive() const { return selected_; }
    int SelectedIndex() const { return selectedIndex_; }
    const std::vector<TDriveEntry>& Entries() const { return entries_; }

private:
    std::string ResolveMountPath(std::string_view path) const;
    void AppendFolderEntries();

    IDriveSource& source_;
    TTextCase textCase_ = TTextCase::tcLowerCase;
    std::string selected_;
    int selectedIndex_ = -1;
    int itemHeight_ = MinItemHeight;
    std::vector<TDriveEntry> entries_;
    std::vector<std::string> mountPaths_;  // every path root of the last rebuild
    bool folderChoice_ = false;
    std::size_t driveCount_ = 0;        // entries_ that are drives
    std::vector<std::string> folders_;  // chosen folders, newest first
};

// True for a lettered root "x:\" (either case).
bool IsLetterRoot(std::string_view root);
